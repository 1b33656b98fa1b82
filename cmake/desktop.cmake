# The real desktop (Qt 6 Widgets, X11) and the executable.
find_package(Qt6 REQUIRED COMPONENTS Widgets Network)
find_package(X11 REQUIRED)
if(NOT TARGET X11::Xi OR NOT TARGET X11::Xtst)
  message(FATAL_ERROR "The desktop needs the XInput2 and XTest libraries (libxi-dev, libxtst-dev)")
endif()

file(GLOB DESKTOP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/desktop/*.cpp)
qt6_add_resources(DESKTOP_RESOURCES ${CMAKE_SOURCE_DIR}/assets/assets.qrc)
add_library(tallowmark_desktop STATIC ${DESKTOP_SOURCES} ${DESKTOP_RESOURCES})
target_link_libraries(tallowmark_desktop PUBLIC tallowmark_core Qt6::Widgets Qt6::Network X11::X11 X11::Xi X11::Xtst)

add_executable(tallowmark ${CMAKE_SOURCE_DIR}/src/main.cpp)
target_link_libraries(tallowmark PRIVATE tallowmark_desktop)

if(TALLOWMARK_BENCH AND EXISTS ${CMAKE_SOURCE_DIR}/bench/desktop/desktop_bench.cpp)
  find_package(benchmark REQUIRED)
  add_executable(bare_qt ${CMAKE_SOURCE_DIR}/bench/desktop/bare_qt.cpp)
  target_link_libraries(bare_qt PRIVATE Qt6::Widgets)
  add_executable(desktop_bench ${CMAKE_SOURCE_DIR}/bench/desktop/desktop_bench.cpp
                               ${CMAKE_SOURCE_DIR}/tests/desktop/xserver.cpp)
  target_include_directories(desktop_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  target_link_libraries(desktop_bench PRIVATE tallowmark_desktop benchmark::benchmark Qt6::Test)
  target_compile_definitions(desktop_bench PRIVATE
    TALLOWMARK_EXE="$<TARGET_FILE:tallowmark>" BARE_QT_EXE="$<TARGET_FILE:bare_qt>")
  add_dependencies(desktop_bench tallowmark bare_qt)
  add_executable(idle_bench ${CMAKE_SOURCE_DIR}/bench/desktop/idle_bench.cpp
                            ${CMAKE_SOURCE_DIR}/tests/desktop/xserver.cpp)
  target_include_directories(idle_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(idle_bench PRIVATE X11::X11 X11::Xtst benchmark::benchmark)
  target_compile_definitions(idle_bench PRIVATE TALLOWMARK_EXE="$<TARGET_FILE:tallowmark>")
  add_dependencies(idle_bench tallowmark)
endif()
