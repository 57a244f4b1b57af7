# The window on Qt 6 Widgets, its pictures, and rumora on the desktop.
add_library(rumora_gui STATIC
  app/calendar_page.cpp
  app/form1_window.cpp
  app/layout_page.cpp
  app/picture_font_page.cpp
  app/qt_platform_services.cpp
  app/tooling_hooks.cpp
  app/window_controls.cpp)
set_target_properties(rumora_gui PROPERTIES AUTOMOC ON)
target_include_directories(rumora_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(rumora_gui
  PUBLIC rumora_logic rumora_picture_measure Qt6::Widgets
  PRIVATE rumora_warnings)

set(rumora_pictures
  rumora.png tab-layout.png tab-calendar.png tab-picture.png
  save-over.png save-as.png preview.png help.png
  layout-simple.png layout-standard1.png layout-standard2.png layout-progress.png)
list(TRANSFORM rumora_pictures PREPEND ${PROJECT_SOURCE_DIR}/resources/pictures/)
qt_add_resources(rumora_gui rumora_pictures
  PREFIX /
  BASE ${PROJECT_SOURCE_DIR}/resources
  FILES ${rumora_pictures})

add_executable(rumora app/main.cpp)
target_link_libraries(rumora PRIVATE rumora_gui rumora_warnings)

# The help page lies beside the executables in the build tree, and in
# share/rumora once installed (the program looks in both).
configure_file(${PROJECT_SOURCE_DIR}/docs/help.html ${CMAKE_CURRENT_BINARY_DIR}/help.html COPYONLY)

set(rumora_app_id org.rumora.Rumora)
install(TARGETS rumora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/help.html DESTINATION ${CMAKE_INSTALL_DATADIR}/rumora)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${rumora_app_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${rumora_app_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pictures/rumora.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps
        RENAME ${rumora_app_id}.png)
