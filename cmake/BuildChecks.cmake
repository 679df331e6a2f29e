# Build-wide checks chosen at configure time: warnings as errors and sanitizers. Both apply to
# every target configured after this file is included (program, tests, benchmarks), so code
# compiled into the tests is checked the same way as the program.

# CI builds turn this on so that a new warning fails the build instead of scrolling past.
option(ZEMRA_WERROR "Treat compiler warnings as errors" OFF)
if(ZEMRA_WERROR)
    add_compile_options(-Werror)
endif()

# A comma-separated list for -fsanitize=, e.g. "address,undefined" or "thread"; empty for
# none. Each sanitized build needs its own build folder: every object file of a process must
# be built for the same sanitizer runtime, and ThreadSanitizer cannot share one with
# AddressSanitizer.
set(ZEMRA_SANITIZE "" CACHE STRING "Sanitizers to build with (-fsanitize= list), empty for none")
if(ZEMRA_SANITIZE)
    if(ZEMRA_SANITIZE MATCHES "thread" AND ZEMRA_SANITIZE MATCHES "address")
        message(FATAL_ERROR "ZEMRA_SANITIZE: thread and address cannot be combined")
    endif()
    # Frame pointers give the reports whole stacks; -fno-sanitize-recover makes every
    # undefined-behaviour finding fatal, so a report can never end in a passing test.
    add_compile_options(-fsanitize=${ZEMRA_SANITIZE} -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${ZEMRA_SANITIZE})
    if(ZEMRA_SANITIZE MATCHES "undefined")
        add_compile_options(-fno-sanitize-recover=undefined)
    endif()
endif()
