// Hit test, finder layout, hint size and the read-out texts of the plot window.
#include "plot/PlotInteraction.h"

#include <cstdlib>

std::int32_t StationHitTest(const TKviste& cave, const TPlotSwitches& switches, std::int32_t x,
                            std::int32_t y) {
    if (!switches.ShowStations || cave.LineCount < 1)
        return 0;
    std::int32_t hit = 0;
    const TScreenPoint p{x, y};
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const Tdatalinje& line = cave.Lines[static_cast<std::size_t>(i)];
        if (NearNode(p, line.ScreenPos) && (!switches.CommentedOnly || line.HasComment))
            hit = i;
    }
    return hit;
}

std::int32_t FinderRowCount(std::int32_t lineCount) {
    return static_cast<std::int32_t>(RoundEven(lineCount / 10.0)) + 1;
}

THintSize HintSize(std::int32_t clientWidth, std::int32_t textWidth, std::int32_t xHeight) {
    const std::int32_t m = clientWidth / 5;
    THintSize s{textWidth + 10, 2 * xHeight};
    if (s.Width > m) {
        s.Width = m + 3;
        s.Height = xHeight * (textWidth / s.Width) + 2 * xHeight;
    }
    return s;
}

std::string ShowCommentText(const Tdatalinje& line) {
    if (!line.HasComment)
        return ": Not commented";
    return line.ToName.str() + ": " + line.Comment;
}

std::string PopupTitle(const Tdatalinje& line) {
    return "Station( " + line.ToName.str() + ": " + " )";
}

std::string LimitLabelText(const char* prefix, double value) {
    std::string s = prefix;
    AppendReal(s, value, 6, 1);
    return s;
}

std::string PointerText(const char* prefix, double value) {
    std::string s = prefix;
    AppendReal(s, value, 5, 2);
    return s;
}

TStatTexts StatTexts(const TStatData& st) {
    TStatTexts t;
    t.Length = FormatReal(st.Length, 6, 1) + " m";
    t.Depth = FormatReal(st.Depth, 6, 1) + " m";
    AppendInt(t.Legs, st.Legs);
    t.Area = FormatReal(st.Area, 6, 1) + " m2";
    t.Volume = FormatReal(st.Volume, 6, 1) + " m3";
    t.Surface = FormatReal(st.Surface, 6, 1) + " m2";
    return t;
}
