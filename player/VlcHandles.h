#pragma once

#include <memory>
#include <vlc/vlc.h>

// Owning handles for the libvlc objects: each releases its object with the engine's own
// release function, so no path can leak or double-free an engine object.
namespace vlc {

struct InstanceRelease
{
    void operator()(libvlc_instance_t* p) const { libvlc_release(p); }
};
struct PlayerRelease
{
    void operator()(libvlc_media_player_t* p) const { libvlc_media_player_release(p); }
};
struct MediaRelease
{
    void operator()(libvlc_media_t* p) const { libvlc_media_release(p); }
};

using Instance = std::unique_ptr<libvlc_instance_t, InstanceRelease>;
using Player = std::unique_ptr<libvlc_media_player_t, PlayerRelease>;
using Media = std::unique_ptr<libvlc_media_t, MediaRelease>;

// The track array of libvlc_media_tracks_get(); it carries its count because the engine's free
// function needs it.
class TrackList final
{
public:
    TrackList() = default;
    TrackList(libvlc_media_track_t** tracks, unsigned count) : m_tracks(tracks), m_count(count) {}
    ~TrackList() { Reset(); }
    TrackList(const TrackList&) = delete;
    TrackList& operator=(const TrackList&) = delete;
    TrackList(TrackList&& other) noexcept : m_tracks(other.m_tracks), m_count(other.m_count)
    {
        other.m_tracks = nullptr;
        other.m_count = 0;
    }
    TrackList& operator=(TrackList&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_tracks = other.m_tracks;
            m_count = other.m_count;
            other.m_tracks = nullptr;
            other.m_count = 0;
        }
        return *this;
    }

    void Reset()
    {
        if (m_tracks != nullptr)
            libvlc_media_tracks_release(m_tracks, m_count);
        m_tracks = nullptr;
        m_count = 0;
    }
    unsigned Count() const { return m_count; }
    const libvlc_media_track_t* At(unsigned i) const { return m_tracks[i]; }

private:
    libvlc_media_track_t** m_tracks = nullptr;
    unsigned m_count = 0;
};

} // namespace vlc
