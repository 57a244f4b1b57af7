# Saves on failing disks, through the batch tool and the window's logic.
rumora_add_test(disk_tests
  SOURCES disk/save_test.cpp
  LIBS rumora_logic rumora_cli rumora_page rumora_files rumora_measure rumora_events)
target_include_directories(disk_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
