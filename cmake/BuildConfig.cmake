# What packagers set for their build: the page "Help > Check For Update"
# opens and the contact address of the About box. Both reach the programs
# through the generated header platform/BuildConfig.h.
set(ARDVEL_UPDATE_URL "" CACHE STRING
    "Web address (http:// or https://) of the update page; empty: Help/update.html, installed with the help")
set(ARDVEL_CONTACT_ADDRESS "" CACHE STRING
    "E-mail address shown in the About box; empty: the About box shows no contact line")

# The values become C++ string literals: no quotes or backslashes.
if(NOT ARDVEL_UPDATE_URL STREQUAL "" AND NOT ARDVEL_UPDATE_URL MATCHES "^https?://[^ \"\\\\]+$")
    message(FATAL_ERROR "ARDVEL_UPDATE_URL must be an http:// or https:// address, not \"${ARDVEL_UPDATE_URL}\"")
endif()
if(ARDVEL_CONTACT_ADDRESS MATCHES "[\"\\\\]")
    message(FATAL_ERROR "ARDVEL_CONTACT_ADDRESS must not hold quotes or backslashes")
endif()

configure_file(${CMAKE_SOURCE_DIR}/src/platform/BuildConfig.h.in
    ${CMAKE_BINARY_DIR}/generated/platform/BuildConfig.h @ONLY)
target_include_directories(ardvel_options INTERFACE ${CMAKE_BINARY_DIR}/generated)
