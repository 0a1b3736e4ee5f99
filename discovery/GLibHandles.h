#pragma once

// Owning handles for the GLib, GObject and libsoup objects that discovery keeps, so that every
// reference taken is dropped exactly once whatever path leaves the scope.

#include <glib-object.h>
#include <glib.h>
#include <memory>

struct GObjectUnref
{
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFreeDeleter
{
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<char, GFreeDeleter>;

struct GErrorDeleter
{
    void operator()(GError* error) const
    {
        if (error)
            g_error_free(error);
    }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

struct GMainContextUnref
{
    void operator()(GMainContext* context) const
    {
        if (context)
            g_main_context_unref(context);
    }
};
using GMainContextPtr = std::unique_ptr<GMainContext, GMainContextUnref>;

struct GMainLoopUnref
{
    void operator()(GMainLoop* loop) const
    {
        if (loop)
            g_main_loop_unref(loop);
    }
};
using GMainLoopPtr = std::unique_ptr<GMainLoop, GMainLoopUnref>;

// An attached source is also detached from its context, so its callback can no longer run.
struct GSourceDestroy
{
    void operator()(GSource* source) const
    {
        if (source) {
            g_source_destroy(source);
            g_source_unref(source);
        }
    }
};
using GSourcePtr = std::unique_ptr<GSource, GSourceDestroy>;
