# Most of every translation unit's compile time goes into the same Qt and standard library
# headers, so the larger targets precompile them. A precompiled header is large (a few hundred MB with
# debug information) and costs as much as several translation units to make, so the libraries that
# link Qt Widgets share one; the core and the demo box make their own. The tests, one file each,
# have none: GCC refuses a shared header wherever one macro its headers look at differs (-pthread's
# _REENTRANT, a module's QT_*_LIB), and the tests link too many different things for one to fit.
option(KELVO_PCH "Precompile the headers that every translation unit includes" ON)

set(KELVO_PCH_CORE
    <algorithm> <functional> <memory> <optional> <string> <vector>
    <QByteArray> <QDateTime> <QHash> <QList> <QObject> <QPointer> <QString> <QStringList> <QTimer>)
# Qt's own headers do not depend on which Qt modules a target links, so one precompiled header
# serves them all; QtTest's do, so they stay out of it.
set(KELVO_PCH_GUI <QEvent> <QImage> <QPainter> <QPixmap> <QWidget>)

# kelvo_precompile(<target> [GUI]): GUI shares the widget libraries' header; otherwise the target
# gets its own with the Qt Core and standard headers only, so nothing above Qt Core creeps into it
# unnoticed. A precompiled header is used only where the macros its headers look at are defined
# alike: targets built with QT_NO_KEYWORDS (next to GLib) cannot share one.
function(kelvo_precompile target)
    cmake_parse_arguments(P "GUI" "" "" ${ARGN})
    if(NOT KELVO_PCH)
        return()
    endif()
    if(NOT KELVO_GUI OR NOT P_GUI)
        target_precompile_headers(${target} PRIVATE ${KELVO_PCH_CORE})
        return()
    endif()
    set(shared kelvo_pch_gui)
    set(libs Qt6::Core Qt6::Gui Qt6::Widgets)
    set(headers ${KELVO_PCH_CORE} ${KELVO_PCH_GUI})
    if(NOT TARGET ${shared})
        file(WRITE ${CMAKE_BINARY_DIR}/${shared}.cpp "// Only here to build a shared precompiled header.\n")
        add_library(${shared} OBJECT ${CMAKE_BINARY_DIR}/${shared}.cpp)
        # The headers' paths and options, not the modules' QT_*_LIB definitions: a precompiled
        # header made with a definition is refused where it is missing.
        foreach(lib ${libs})
            target_include_directories(${shared} SYSTEM PRIVATE $<TARGET_PROPERTY:${lib},INTERFACE_INCLUDE_DIRECTORIES>)
            target_compile_options(${shared} PRIVATE $<TARGET_PROPERTY:${lib},INTERFACE_COMPILE_OPTIONS>)
        endforeach()
        # Qt Core's one definition that its headers look at, as Qt6::Core brings it.
        target_compile_definitions(${shared} PRIVATE $<$<NOT:$<CONFIG:Debug>>:QT_NO_DEBUG>)
        target_precompile_headers(${shared} PRIVATE ${headers})
    endif()
    target_precompile_headers(${target} REUSE_FROM ${shared})
endfunction()
