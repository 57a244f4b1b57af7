# Pages rendered in the system's Chromium, and hostile input to the engine.

# The browser driver comes from npm (tests/browser/package-lock.json); the
# browser itself is Debian's chromium, never a downloaded one.
# tools/setup installs both for the test suite.
find_program(RUMORA_NODE node REQUIRED)
find_program(RUMORA_NPM npm REQUIRED)
set(browser_dir ${CMAKE_CURRENT_SOURCE_DIR}/browser)
add_test(NAME browser.packages
         COMMAND ${RUMORA_NPM} ci --no-audit --no-fund --loglevel=error
         WORKING_DIRECTORY ${browser_dir})
set_tests_properties(browser.packages PROPERTIES
  FIXTURES_SETUP browser_packages TIMEOUT 300
  ENVIRONMENT PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1)
add_test(NAME browser.pages
         COMMAND ${RUMORA_NODE} render_pages.mjs --tool $<TARGET_FILE:rumora-page>
         WORKING_DIRECTORY ${browser_dir})
set_tests_properties(browser.pages PROPERTIES
  FIXTURES_REQUIRED browser_packages TIMEOUT 600 RUN_SERIAL TRUE)

rumora_add_test(hostile_input_tests
  SOURCES hostile/hostile_text_test.cpp hostile/hostile_picture_test.cpp
  LIBS rumora_cli rumora_page rumora_files rumora_calendar rumora_measure)
target_include_directories(hostile_input_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
