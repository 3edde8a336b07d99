# What the build needs, each with the Debian 12 package that brings it: a missing one stops the
# configure with a message saying what to install (tools/setup.sh installs them all).

function(wq_require found what package)
    if(NOT ${found})
        message(FATAL_ERROR "${what} was not found: install the Debian package ${package}\n"
                            "  (sudo apt-get install ${package}, or run ./run.sh once)")
    endif()
endfunction()

# Qt's components, one by one, so that the message names the package of the missing one.
foreach(component IN ITEMS Core Gui Widgets Network Concurrent OpenGLWidgets Test
                           WebEngineWidgets)
    find_package(Qt6${component} 6.4 QUIET)
    set(package qt6-base-dev)
    if(component STREQUAL "Gui" OR component STREQUAL "OpenGLWidgets")
        set(package "qt6-base-dev libgl-dev")
    elseif(component STREQUAL "WebEngineWidgets")
        set(package qt6-webengine-dev)
    endif()
    wq_require(Qt6${component}_FOUND "Qt 6 ${component}" "${package}")
endforeach()
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Network Concurrent Test
             WebEngineWidgets OpenGLWidgets)

find_package(SQLite3 QUIET)
wq_require(SQLite3_FOUND "SQLite 3" libsqlite3-dev)
find_package(PkgConfig QUIET)
wq_require(PKG_CONFIG_FOUND "pkg-config" pkg-config)
pkg_check_modules(WQ_HAVE_ESPEAK_NG QUIET espeak-ng)
wq_require(WQ_HAVE_ESPEAK_NG_FOUND "espeak-ng (the speech synthesizer's library)" libespeak-ng-dev)
pkg_check_modules(WQ_HAVE_PULSE QUIET libpulse)
wq_require(WQ_HAVE_PULSE_FOUND "libpulse (the sound server's client library)" libpulse-dev)
pkg_check_modules(WQ_HAVE_OPENCC QUIET opencc)
wq_require(WQ_HAVE_OPENCC_FOUND "OpenCC (traditional to simplified characters)" libopencc-dev)

# The idiom data and the characters' readings, fetched by ./run.sh into build/deps/: found there
# when not given.
function(wq_default_dep var lock file)
    if(NOT ${var})
        file(STRINGS "${CMAKE_SOURCE_DIR}/tools/${lock}.lock" name REGEX "^name=")
        file(STRINGS "${CMAKE_SOURCE_DIR}/tools/${lock}.lock" version REGEX "^version=")
        string(REPLACE "name=" "" name "${name}")
        string(REPLACE "version=" "" version "${version}")
        string(REPLACE "@" "${name}-${version}" file "${file}")
        if(EXISTS "${CMAKE_BINARY_DIR}/deps/${file}")
            set(${var} "${CMAKE_BINARY_DIR}/deps/${file}" CACHE FILEPATH "" FORCE)
        endif()
    endif()
    if(NOT ${var} OR NOT EXISTS "${${var}}")
        message(FATAL_ERROR "${var} is not set or missing (${${var}}).\n"
                            "  ./run.sh fetches the ${lock} npm package into build/deps/ and sets it "
                            "(it needs the Debian package npm); or give -D${var}=<path to ${file}>")
    endif()
endfunction()
wq_default_dep(WENQUELL_IDIOM_SOURCE chengyu "@/data/3.txt")
wq_default_dep(WENQUELL_READINGS pinyin-pro "@-readings.tsv")
