# Language and build settings shared by the whole project and the stand-alone
# launcher build (cmake -S sfx).
include_guard(GLOBAL)
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE Release CACHE STRING "" FORCE)
endif()
option(KRIN_TESTS "Build the tests" ON)
add_compile_options(-Wall -Wextra)
