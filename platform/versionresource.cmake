# The texts of the programs' version information: compiled in on every system, and on Windows
# also written into each executable's version resource, with the icon.
set(SC_COMPANY_NAME "Orvandel")
set(SC_PRODUCT_NAME "Konfigurator")
set(SC_ICON_FILE "${CMAKE_SOURCE_DIR}/resources/scenery-configurator.ico")

# sc_version_resource(<target> <description>): on Windows, gives the executable its version
# resource and icon; elsewhere it does nothing.
function(sc_version_resource target description)
    if(NOT WIN32)
        return()
    endif()
    set(SC_RC_NAME "${target}")
    set(SC_RC_DESCRIPTION "${description}")
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc")
    configure_file("${CMAKE_SOURCE_DIR}/platform/versionresource.rc.in" "${rc}" @ONLY)
    target_sources(${target} PRIVATE "${rc}")
endfunction()
