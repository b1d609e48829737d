// Writer of survey data files.
#include "model/SurveyWriter.h"

#include "model/FileIO.h"

namespace {

const std::string kStampStart = " #(File written by";

void EndLine(std::string& out) {
    out.append("\r\n");
}

// The four values of an instrument, each in six columns, one blank apart.
void AppendInstrument(std::string& out, const TInstrument& ins) {
    AppendReal(out, ins.CompassCircle, 6, 2);
    out.push_back(' ');
    AppendReal(out, ins.ClinoCircle, 6, 2);
    out.push_back(' ');
    AppendReal(out, ins.Declination, 6, 2);
    out.push_back(' ');
    AppendReal(out, ins.LengthUnit, 6, 2);
}

// Text edited in a window may hold line breaks; in the file they would start new lines.
void AppendOneLine(std::string& out, std::string_view text) {
    for (char c : text)
        out.push_back(c == '\r' || c == '\n' ? ' ' : c);
}

} // namespace

std::string SurveyFileText(TKviste& cave, const std::string& headerLine2, const TextClock& clock) {
    // Only the stamp of an earlier write is dropped, so the user's own text on the line
    // (a "#" of his own included) survives and the line does not grow from save to save.
    const auto stamp = cave.SurveyInfo.find(kStampStart);
    if (stamp != std::string::npos)
        cave.SurveyInfo.erase(stamp);

    std::string out;
    out.reserve(static_cast<std::size_t>(cave.LineCount) * 56 + 512);
    out.append(cave.CaveName);
    EndLine(out);
    out.append(headerLine2);
    EndLine(out);
    out.append(cave.SurveyInfo);
    out.append(kStampStart);
    out.append(" Kvistrel");
    out.append(kProgramVersion);
    out.append(" win)");
    out.append(clock.Now());
    EndLine(out);
    AppendInstrument(out, cave.Instruments[0]);
    EndLine(out);
    AppendReal(out, cave.StartPos.X, 6, 2);
    out.push_back(' ');
    AppendReal(out, cave.StartPos.Y, 6, 2);
    out.push_back(' ');
    AppendReal(out, cave.StartPos.Z, 6, 2);
    out.push_back(' ');
    EndLine(out);

    std::int32_t current = 0;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
        std::int32_t insIndex = l.Instrument;
        if (insIndex < 0 || insIndex >= static_cast<std::int32_t>(cave.Instruments.size()))
            insIndex = 0;
        // Any change, down as well as up, so each line reads back with its own instrument.
        if (insIndex != current) {
            current = insIndex;
            out.append("@     ");
            AppendInstrument(out, cave.Instruments[static_cast<std::size_t>(current)]);
            EndLine(out);
        }
        const TInstrument& ins = cave.Instruments[static_cast<std::size_t>(current)];

        out.append(l.FromName.Padded());
        out.push_back(' ');
        out.append(l.ToName.Padded());
        const double values[7] = {
            (l.Compass - ins.Declination) * ins.CompassCircle / 360,
            l.Clino * ins.ClinoCircle / 360,
            l.Length * ins.LengthUnit,
            l.Right * ins.LengthUnit,
            l.Left * ins.LengthUnit,
            l.Down * ins.LengthUnit,
            l.Up * ins.LengthUnit,
        };
        for (double v : values) {
            out.push_back(' ');
            AppendReal(out, v, 6, 2);
        }
        EndLine(out);

        if (l.HasComment) {
            // The reader puts four blanks before every comment; they are not the user's.
            out.push_back(';');
            AppendOneLine(out, l.Comment.compare(0, 4, "    ") == 0
                                   ? std::string_view(l.Comment).substr(4)
                                   : std::string_view(l.Comment));
            EndLine(out);
        }
        if (l.HasScan) {
            out.append("#    ");
            AppendInt(out, static_cast<long long>(l.ScanPoints.size()));
            out.push_back(' ');
            AppendReal(out, (l.ScanPlane - ins.Declination) * ins.CompassCircle / 360, 5, 2);
            EndLine(out);
            for (const TProfil& p : l.ScanPoints) {
                out.append("#   ");
                AppendReal(out, p.Angle * ins.ClinoCircle / 360, 5, 2);
                out.push_back(' ');
                AppendReal(out, p.Distance * ins.LengthUnit, 6, 2);
                EndLine(out);
            }
        }
        if (l.HasPhotos) {
            out.append("$    ");
            AppendInt(out, static_cast<long long>(l.Photos.size()));
            EndLine(out);
            for (const std::string& photo : l.Photos) {
                out.append("$   ");
                AppendOneLine(out, photo);
                EndLine(out);
            }
        }
    }
    return out;
}

TWriteResult WriteSurveyFile(const std::string& fileName, TKviste& cave,
                             const std::string& headerLine2, const TextClock& clock) {
    TWriteResult result;
    const std::string text = SurveyFileText(cave, headerLine2, clock);
    if (!WriteFileAtomically(fileName, text, result.Reason))
        return result;
    result.Ok = true;
    result.Message = std::to_string(cave.LineCount) + " lines saved in: " + fileName + " ! ";
    return result;
}
