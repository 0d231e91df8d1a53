# The two document templates, kept as readable XML under resources/templates and packed into the
# application folder: the parts shared by both, then each template's own.
add_executable(meridell_mktemplate ${CMAKE_CURRENT_LIST_DIR}/mktemplate.cpp)
target_link_libraries(meridell_mktemplate PRIVATE meridell_word_core pugixml::pugixml)

set(MERIDELL_TEMPLATE_ROOT ${CMAKE_SOURCE_DIR}/resources/templates)
file(GLOB_RECURSE MERIDELL_TEMPLATE_COMMON CONFIGURE_DEPENDS ${MERIDELL_TEMPLATE_ROOT}/common/*)
set(MERIDELL_TEMPLATE_FILES)
foreach(name bookreport projectlist)
  file(GLOB_RECURSE own CONFIGURE_DEPENDS ${MERIDELL_TEMPLATE_ROOT}/${name}/*)
  add_custom_command(
    OUTPUT ${MERIDELL_APP_DIR}/source/${name}.doc
    COMMAND meridell_mktemplate ${MERIDELL_APP_DIR}/source/${name}.doc
            ${MERIDELL_TEMPLATE_ROOT}/common ${MERIDELL_TEMPLATE_ROOT}/${name}
    DEPENDS meridell_mktemplate ${MERIDELL_TEMPLATE_COMMON} ${own}
    COMMENT "Packing the document template ${name}.doc")
  list(APPEND MERIDELL_TEMPLATE_FILES ${MERIDELL_APP_DIR}/source/${name}.doc)
endforeach()
add_custom_target(meridell_templates DEPENDS ${MERIDELL_TEMPLATE_FILES})
add_dependencies(meridell_appdir meridell_templates)
