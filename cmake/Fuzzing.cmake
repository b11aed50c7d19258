# A libFuzzer target over one library's sources, run for a bounded time as a
# test named <name>_fuzz (the fuzz preset runs the tests ending in _fuzz).
#   vod_add_fuzzer(NAME LIBRARY SOURCE CORPUS_DIR)
function(vod_add_fuzzer name library source corpus)
    # The library's sources are compiled into the target itself so that
    # libFuzzer's coverage instrumentation reaches them.
    get_target_property(librarySources ${library} SOURCES)
    get_target_property(librarySourceDir ${library} SOURCE_DIR)
    list(TRANSFORM librarySources PREPEND "${librarySourceDir}/")
    add_executable(fuzz_${name} ${source} ${librarySources})
    target_include_directories(fuzz_${name} PRIVATE "${PROJECT_SOURCE_DIR}")
    target_compile_features(fuzz_${name} PRIVATE cxx_std_17)
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)

    # New inputs go to the build tree; the committed seeds are only read.
    set(workCorpus "${CMAKE_CURRENT_BINARY_DIR}/fuzz_corpus")
    file(MAKE_DIRECTORY "${workCorpus}")
    add_test(NAME ${name}_fuzz
        COMMAND fuzz_${name} -max_total_time=20 -rss_limit_mb=1024 "${workCorpus}" "${corpus}")
    set_tests_properties(${name}_fuzz PROPERTIES WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
endfunction()
