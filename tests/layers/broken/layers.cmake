# Two layers as cmake/layers.cmake describes them: high links low.
set(SC_SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}")
set(SC_TARGETS low high)
set(SC_FILES_low low/low.h low/low.cpp)
set(SC_HEADERS_low low/low.h)
set(SC_SEES_low low)
set(SC_FILES_high high/high.h high/high.cpp)
set(SC_HEADERS_high high/high.h)
set(SC_SEES_high high low)
