# The window through its real widgets, offscreen, with scripted dialogs.
find_package(Qt6 REQUIRED COMPONENTS Test)
rumora_add_test(gui_tests
  SOURCES gui/gui_test_main.cpp gui/window_state_test.cpp gui/window_actions_test.cpp
          gui/save_flow_test.cpp
  LIBS rumora_window rumora_page rumora_files rumora_calendar rumora_measure Qt6::Test)
target_include_directories(gui_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/gui ${CMAKE_CURRENT_SOURCE_DIR})
