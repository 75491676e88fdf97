// Keeping passwords out of every text that leaves the provider.
//
// Drivers are free to echo a connection string, or a user name that happens
// to equal the password, in their diagnostics; those texts end up in the
// host's log and on the operator's screen. Every description the provider
// records passes through a scrubber that knows the connection's secrets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dbAx::provider {

inline constexpr char16_t kHiddenSecret[] = u"********";

// `text` with the value of every PWD= and PASSWORD= property replaced by
// kHiddenSecret: a connection string fit to print or log.
std::u16string MaskPasswords(std::u16string_view text);

// A password shorter than this is not looked for in free text: hiding every
// "3" of a message for a password "3" would make the message unreadable, and
// so short a password is no secret anyway. PWD= values are hidden whatever
// their length.
inline constexpr std::size_t kShortestScrubbedSecret = 4;

class SecretScrubber {
 public:
  // Remembers a secret text; empty texts are ignored.
  void AddSecret(std::u16string_view secret);
  // Remembers the values of the PWD= and PASSWORD= keywords of a connection
  // string: AddSecret of each of SecretsOf(connection_string), in order.
  void AddSecretsOf(std::u16string_view connection_string);
  // The texts AddSecretsOf remembers for a connection string, in the order
  // it adds them.
  static std::vector<std::u16string> SecretsOf(std::u16string_view connection_string);
  // `text` with every PWD=/PASSWORD= value and every known secret of at
  // least kShortestScrubbedSecret characters (in any ASCII case, as some
  // systems fold passwords) replaced by kHiddenSecret.
  std::u16string Scrub(std::u16string_view text) const;

 private:
  std::vector<std::u16string> secrets_;
};

}  // namespace dbAx::provider
