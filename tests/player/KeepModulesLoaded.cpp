// Built into the player tests under the sanitizers only. The engine unloads its plugins (and
// they unload the GL driver) when it is released, before the leak check runs at exit; a report
// then names no library at all. Keeping every loaded library mapped lets the leak check name
// the engine's plugins, so lsan.supp can accept their own allocations and still catch ours.
extern "C" int dlclose(void*)
{
    return 0;
}
