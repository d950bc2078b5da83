# quillet_add_translations(<target> <ts file>...)
#
# Compiles each Qt Linguist .ts file with lrelease and embeds the .qm in
# <target> under :/i18n, so the build tree and the installed binary find the
# same texts. The `update_translations` target runs lupdate over src/ to bring
# the .ts files up to date with the texts in the code (then translate what it
# marks unfinished, e.g. in Qt Linguist, and commit the .ts files).
#
# lupdate and lrelease come from Debian's qt6-l10n-tools, which ships no CMake
# package of its own, so they are found beside Qt's other tools.
find_program(QUILLET_LUPDATE NAMES lupdate lupdate-qt6
    HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" REQUIRED)
find_program(QUILLET_LRELEASE NAMES lrelease lrelease-qt6
    HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" REQUIRED)

function(quillet_add_translations target)
    set(qm_files)
    foreach(ts IN LISTS ARGN)
        get_filename_component(name "${ts}" NAME_WE)
        set(qm "${CMAKE_CURRENT_BINARY_DIR}/i18n/${name}.qm")
        add_custom_command(OUTPUT "${qm}"
            COMMAND "${QUILLET_LRELEASE}" -silent "${ts}" -qm "${qm}"
            DEPENDS "${ts}"
            COMMENT "lrelease ${name}.ts"
            VERBATIM)
        list(APPEND qm_files "${qm}")
    endforeach()
    qt_add_resources(${target} "${target}_translations"
        PREFIX "/i18n"
        BASE "${CMAKE_CURRENT_BINARY_DIR}/i18n"
        FILES ${qm_files})
    add_custom_target(update_translations
        COMMAND "${QUILLET_LUPDATE}" -silent -no-obsolete -locations relative
                "${CMAKE_SOURCE_DIR}/src" -ts ${ARGN}
        WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
        COMMENT "lupdate src/ into the .ts files"
        VERBATIM)
endfunction()
