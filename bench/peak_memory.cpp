// Runs a program and writes its peak resident memory, in kilobytes, to a
// file. It is a small process of its own on purpose: a child forked from a
// large process (the benchmark) counts that process's pages as its own peak
// until it runs the program, so the figure would be the benchmark's.
//
//   mirdane_peak_memory OUTPUT-FILE PROGRAM [ARGUMENT...]
//
// Exits with the program's status.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: mirdane_peak_memory OUTPUT-FILE PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return 127;
  }
  if (child == 0) {
    execv(argv[2], argv + 2);
    std::perror(argv[2]);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) {
    std::perror("wait4");
    return 127;
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (!out || std::fprintf(out, "%ld\n", usage.ru_maxrss) < 0 || std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 127;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
