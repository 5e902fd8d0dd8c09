find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
brelo_benchmark(images_bench ${CMAKE_CURRENT_SOURCE_DIR}/images_bench.cpp LIBS ZLIB::ZLIB PNG::PNG)
