# Whether this host can run the build's programs under Wine, asked once per configuration:
# 64-bit Wine runs on every host we build on, 32-bit Wine only where the kernel runs 32-bit code.
set(SERIALKEY_WINE_SKIP "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/host-runs-x86.sh
                    RESULT_VARIABLE cannot OUTPUT_VARIABLE why OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(cannot)
        set(SERIALKEY_WINE_SKIP "${why}")
        message(NOTICE "${why}: the x86 build is built and checked, its Wine tests are skipped.")
    endif()
endif()

# Marks tests that run Windows programs under Wine: where this host cannot, they report SKIP
# (with the reason) instead of passing or failing.
function(runs_under_wine)
    set_tests_properties(${ARGN} PROPERTIES
        SKIP_RETURN_CODE 77
        ENVIRONMENT_MODIFICATION "SERIALKEY_WINE_SKIP=set:${SERIALKEY_WINE_SKIP}")
endfunction()
