# The window's logic: plain C++ over the platform-services interface.
add_library(rumora_logic STATIC
  app/form1.cpp
  style/form1_style.cpp
  picture/form1_picture.cpp
  output/form1_toolbar.cpp)
target_include_directories(rumora_logic PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(rumora_logic PUBLIC rumora_engine PRIVATE rumora_warnings)
