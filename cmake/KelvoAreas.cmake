# kelvo_add_area_folders(): adds every subfolder of the current folder that has a CMakeLists.txt,
# so that each area keeps its tests, tools, benchmarks and fuzz targets in a folder of its own.
function(kelvo_add_area_folders)
    file(GLOB entries LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(dir ${entries})
        if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()
