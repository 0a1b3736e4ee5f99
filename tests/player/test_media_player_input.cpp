#include "PlayerTestSupport.h"

namespace {

TEST(MediaPlayerInput, Placeholder)
{
    PlayerFixture f;
    QString codec;
    int a = 0;
    int b = 0;
    EXPECT_FALSE(f.player->GetVideoTrack(codec, a, b));
    EXPECT_FALSE(f.player->GetAudioTrack(codec, a, b));
}

} // namespace
