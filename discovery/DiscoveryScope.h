#pragma once

// Where a box search looks. The application searches the computer's local networks; tests search
// loopback inside a private network namespace, so that no test ever reaches a real network.
enum class DiscoveryScope
{
    // Every IPv4 interface that is up, not loopback and can multicast.
    Lan,
    // Only "lo" at 127.0.0.1.
    Loopback,
    // Nowhere: no search starts (as when the platform has no UPnP stack).
    None,
};
