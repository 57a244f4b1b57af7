rumora_add_test(logic_tests
  SOURCES logic/style_test.cpp logic/picture_test.cpp
          logic/toolbar_test.cpp logic/closing_test.cpp logic/design_test.cpp logic/events_test.cpp
  LIBS rumora_logic rumora_cli rumora_design rumora_page rumora_files rumora_measure
       rumora_events)
target_include_directories(logic_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
