rumora_add_test(engine_tests
  SOURCES month_table_test.cpp page_composer_test.cpp picture_layouts_test.cpp closing_days_test.cpp
          page_file_test.cpp picture_measure_test.cpp page_tool_test.cpp events_test.cpp
  LIBS rumora_cli rumora_page rumora_files rumora_calendar rumora_measure rumora_events)
rumora_add_test(calendar_knowledge_tests
  SOURCES astronomy_test.cpp old_calendar_test.cpp holidays_test.cpp almanac_test.cpp
          sky_table_test.cpp
  LIBS rumora_calendar)
