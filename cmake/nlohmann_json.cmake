# nlohmann-json, header-only (Debian: nlohmann-json3-dev), for the core's JSON
# reader. Its headers are found on the build machine also for a cross build,
# and given to the compiler through a folder that holds them alone: the
# machine's /usr/include must not reach the mingw-w64 compiler.
find_path(VARNHOLT_JSON_INCLUDE nlohmann/json.hpp
    PATHS /usr/include /usr/local/include
    NO_CMAKE_FIND_ROOT_PATH)
if(NOT VARNHOLT_JSON_INCLUDE)
    message(FATAL_ERROR
        "nlohmann-json was not found; the JSON reader needs it. On Debian: apt-get install nlohmann-json3-dev")
endif()
set(varnholt_json_folder ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${varnholt_json_folder})
file(CREATE_LINK ${VARNHOLT_JSON_INCLUDE}/nlohmann ${varnholt_json_folder}/nlohmann SYMBOLIC)
add_library(varnholt_json INTERFACE)
target_include_directories(varnholt_json SYSTEM INTERFACE ${varnholt_json_folder})
