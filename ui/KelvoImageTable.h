#pragma once

#include <string_view>

// Every skin image the application loads, in one place: the image generator draws from this
// table, the resource test checks the committed PNGs against it, and the skin takes frame
// sizes from it. Width and height are those of the whole strip; frames are of equal width.
struct KelvoImageSpec
{
    int id;
    int width;
    int height;
    int frames;
    std::string_view role;

    constexpr int frameWidth() const { return frames > 0 ? width / frames : width; }
};

inline constexpr KelvoImageSpec kKelvoImages[] = {
    {318, 30, 119, 1, "main caption bar background"},
    {319, 148, 29, 1, "product logo"},
    {358, 72, 24, 3, "close button: normal, pressed, hot"},
    {359, 144, 24, 6, "maximize (0-2) and restore (3-5) button"},
    {360, 72, 24, 3, "minimize button"},
    {362, 480, 44, 4, "Channel mode button: normal, checked, hot, disabled"},
    {363, 360, 30, 4, "Remote button: normal, pressed, hot, disabled"},
    {364, 480, 44, 4, "Schedule mode button"},
    {365, 480, 44, 4, "Setting mode button"},
    {367, 140, 19, 10, "scroll bar: down arrow x3, up arrow x3, thumb x3, track"},
    {369, 30, 38, 3, "dark bar, 38 high (three slices)"},
    {373, 30, 58, 3, "player control bar (three slices)"},
    {374, 30, 86, 3, "SAT information bar (three slices)"},
    {375, 30, 9, 3, "bottom edge of the view frame (three slices)"},
    {376, 5, 10, 1, "left edge of the view frame"},
    {377, 5, 10, 1, "right edge of the view frame"},
    {378, 108, 25, 4, "timer (guide) icon: normal, pressed, hot, disabled"},
    {379, 264, 37, 3, "Refresh button: normal, pressed, hot"},
    {380, 210, 36, 3, "Radio button: normal, checked, hot"},
    {381, 210, 36, 3, "TV button: normal, checked, hot"},
    {382, 30, 43, 1, "grey row background"},
    {383, 30, 43, 1, "blue row background"},
    {384, 90, 28, 3, "search box with magnifier (three slices)"},
    {389, 14, 14, 1, "scrambled-service mark"},
    {390, 16, 16, 1, "locked-service mark"},
    {391, 30, 21, 3, "closed drop-down list face (three slices)"},
    {396, 176, 44, 4, "previous service button"},
    {397, 136, 34, 4, "channel list button"},
    {398, 176, 44, 4, "next service button"},
    {400, 66, 20, 3, "channel information button"},
    {401, 14, 44, 1, "channel tag of the control bar"},
    {402, 30, 45, 3, "information box background (three slices)"},
    {403, 96, 96, 1, "pause icon of the play/pause flash"},
    {404, 96, 96, 1, "play icon of the play/pause flash"},
    {405, 45, 28, 3, "mute button: sound on, muted, hot"},
    {406, 16, 16, 1, "volume slider thumb"},
    {407, 12, 5, 3, "volume slider channel: empty, filled, spare"},
    {408, 1920, 1080, 1, "player idle picture"},
    {409, 1920, 1080, 1, "radio picture"},
    {410, 264, 36, 3, "Save button: normal, pressed, hot"},
    {411, 15, 15, 1, "radio mark, unchecked"},
    {412, 15, 15, 1, "radio mark, checked"},
    {413, 70, 34, 2, "add icon: normal, hot"},
    {414, 30, 75, 1, "blue row background, 75 high"},
    {415, 22, 36, 1, "back arrow, hot"},
    {416, 22, 36, 1, "back arrow, normal"},
    {417, 22, 36, 1, "back arrow, checked"},
    {418, 22, 36, 1, "guide arrow, hot"},
    {419, 22, 36, 1, "guide arrow, normal"},
    {420, 22, 36, 1, "guide arrow, checked"},
    {421, 30, 26, 1, "dark grey band of the guide view"},
    {423, 300, 30, 10, "schedule state icons: play, record, series, active series, blank; on blue"},
    {424, 120, 30, 4, "clock icons: white, dark blue, light blue, dark grey"},
    {425, 102, 26, 3, "previous day button"},
    {426, 102, 26, 3, "next day button"},
    {427, 30, 43, 1, "light blue progress gradient"},
    {428, 240, 30, 3, "form action button: normal, pressed, hot"},
    {431, 30, 30, 1, "blue row background, 30 high"},
    {432, 120, 38, 3, "dialog caption (three slices)"},
    {435, 552, 46, 12, "busy animation"},
    {436, 72, 24, 3, "full screen button"},
    {437, 136, 34, 4, "mini player button"},
    {438, 136, 34, 4, "normal player button"},
};

// The table entry for an id, or nullptr.
constexpr const KelvoImageSpec* FindKelvoImage(int id)
{
    for (const auto& spec : kKelvoImages) {
        if (spec.id == id) {
            return &spec;
        }
    }
    return nullptr;
}
