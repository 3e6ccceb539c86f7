# telvoro_install_program(<target>)
#
# Installs a program of the project together with its manual page, which
# lies beside the program's sources as <target>.1 (with @PROJECT_VERSION@ in
# its header) and is installed gzipped into section 1, as Debian expects.
# A program without a manual page does not install.
function(telvoro_install_program target)
    set(page "${CMAKE_CURRENT_SOURCE_DIR}/${target}.1")
    if(NOT EXISTS "${page}")
        message(FATAL_ERROR "${target} is installed but has no manual page ${page}")
    endif()
    set(configured "${CMAKE_CURRENT_BINARY_DIR}/${target}.1")
    configure_file("${page}" "${configured}" @ONLY)
    add_custom_command(OUTPUT "${configured}.gz"
        COMMAND gzip -9 -n -k -f "${configured}"
        DEPENDS "${configured}"
        VERBATIM)
    add_custom_target(${target}-manual-page ALL DEPENDS "${configured}.gz")
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES "${configured}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
