# SPDX-License-Identifier: GPL-3.0-or-later
# The listener of WSJT-X and JTDX needs Qt Network but no window: a library of
# its own, linked by the windows and by the benchmark (built without them).
find_package(Qt6 REQUIRED COMPONENTS Network)
add_library(ondelog_listener STATIC ${CMAKE_SOURCE_DIR}/ui/wsjtxlistener.cpp
                                    ${CMAKE_SOURCE_DIR}/ui/wsjtxlistener.h)
set_target_properties(ondelog_listener PROPERTIES AUTOMOC ON)
target_include_directories(ondelog_listener PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ondelog_listener PUBLIC ondelog_core Qt6::Network)
