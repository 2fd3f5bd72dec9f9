# The programs a user runs carry no debug information and no symbol table: once
# linked, both move into PROGRAM.exe.debug beside the program, which names that file
# by a debug link (its name and checksum), so a crash address in the program still
# resolves to a function and a source line (the host's c++filt reads the names):
#   i686-w64-mingw32-addr2line -f -i -e build/win32/app/Vardak.exe 0x41c5b0 | c++filt
# The tests run these same programs. Test executables keep their debug information,
# for Wine's backtraces of a crashing test.
function(vardak_separate_debug_info target)
    set(program $<TARGET_FILE:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${program} ${program}.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${program}.debug ${program}
        VERBATIM)
endfunction()
