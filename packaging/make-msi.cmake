# Builds one Windows Installer package from a configured .wxs with wixl:
#
#   cmake -DWXS=mirdane-x86.wxs -DARCH=x86 -DVERSION=1.0.0 -DOUTPUT=out.msi -P make-msi.cmake
#
# The product code follows from the upgrade code and the version: the same
# version built again is the same product (Windows Installer then refuses a
# second copy instead of registering the connector twice), and any other
# version is a new one, which the package's major upgrade replaces.
foreach(required WXS ARCH VERSION OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "make-msi.cmake needs -D${required}=...")
  endif()
endforeach()
if(NOT VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "make-msi.cmake: version ${VERSION} is not MAJOR.MINOR.PATCH")
endif()
file(STRINGS "${WXS}" upgrade_line REGEX "define UpgradeCode")
if(NOT upgrade_line MATCHES "{([0-9A-Fa-f-]+)}")
  message(FATAL_ERROR "make-msi.cmake: no UpgradeCode in ${WXS}")
endif()
string(UUID product_code NAMESPACE "${CMAKE_MATCH_1}" NAME "${VERSION}" TYPE SHA1 UPPER)

get_filename_component(wxs_folder "${WXS}" DIRECTORY)
find_program(WIXL wixl)
if(NOT WIXL)
  message(FATAL_ERROR "wixl is missing: run scripts/install-deps.sh")
endif()
execute_process(
  COMMAND "${WIXL}" --arch "${ARCH}" -D "Version=${VERSION}" -D "ProductCode={${product_code}}"
          -o "${OUTPUT}" "${WXS}"
  WORKING_DIRECTORY "${wxs_folder}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "wixl could not build ${OUTPUT}")
endif()
