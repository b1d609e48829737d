// Conversion of file readings into degrees and metres and back, shared by reader and writer so
// that both evaluate exactly the same expressions.
#pragma once

#include "model/CaveModel.h"

enum class TReadingKind {
    Bearing, // compass readings and scan plane bearings
    Angle,   // clino readings and scan point angles
    Length,  // lengths, passage dimensions and scan point distances
};

// A file value y as the model stores it.
inline double ReadingFromFile(TReadingKind kind, const TInstrument& ins, double y) {
    switch (kind) {
    case TReadingKind::Bearing:
        return y * 360 / ins.CompassCircle + ins.Declination;
    case TReadingKind::Angle:
        return y * 360 / ins.ClinoCircle;
    case TReadingKind::Length:
        break;
    }
    return y / ins.LengthUnit;
}

// A model value v in the units of the file.
inline double ReadingToFile(TReadingKind kind, const TInstrument& ins, double v) {
    switch (kind) {
    case TReadingKind::Bearing:
        return (v - ins.Declination) * ins.CompassCircle / 360;
    case TReadingKind::Angle:
        return v * ins.ClinoCircle / 360;
    case TReadingKind::Length:
        break;
    }
    return v * ins.LengthUnit;
}

// Whether ReadingFromFile grows with y (a negative circle or unit turns it round).
inline bool ReadingGrows(TReadingKind kind, const TInstrument& ins) {
    switch (kind) {
    case TReadingKind::Bearing:
        return ins.CompassCircle > 0;
    case TReadingKind::Angle:
        return ins.ClinoCircle > 0;
    case TReadingKind::Length:
        break;
    }
    return ins.LengthUnit > 0;
}
