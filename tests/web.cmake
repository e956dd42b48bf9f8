# The print service for web tills: its front door without a socket, the
# service over real HTTP, and the client examples in a real browser.
tarvel_test(web_zugang UI)
add_test(NAME dienst COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/web/tst_dienst.py $<TARGET_FILE:tarvel>)
set_tests_properties(dienst PROPERTIES TIMEOUT 180)
add_test(NAME web_kasse COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/web/tst_web_kasse.py
         $<TARGET_FILE:tarvel> ${PROJECT_SOURCE_DIR}/examples/web)
set_tests_properties(web_kasse PROPERTIES TIMEOUT 180)
