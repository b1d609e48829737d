// Generated survey networks with known true positions for the adjustment tests: a lattice of
// junctions whose edges are traverses of one or more shots, with hanging side passages.
#pragma once

#include "model/CaveModel.h"
#include "model/Geometry.h"
#include "reduction/Reduction.h"

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

struct TNetworkOptions {
    int Columns = 4, Rows = 3;                     // junctions of the lattice
    int MaxLegs = 3;                               // shots per traverse, 1 .. MaxLegs
    double Spacing = 30;                           // metres between junctions
    int Branches = 4;                              // hanging side passages
    double SdTape = 0, SdCompass = 0, SdClino = 0; // noise put on the readings
    std::uint32_t Seed = 1;
};

struct TNetwork {
    TKviste Cave;
    std::vector<std::string> Names; // station k's name
    std::vector<TVec3> Truth;       // station k's true position
};

// Readings of the vector from a to b.
inline void SetReadings(Tdatalinje& l, const TVec3& a, const TVec3& b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y, dz = b.Z - a.Z;
    l.Length = std::sqrt(dx * dx + dy * dy + dz * dz);
    l.Clino = l.Length > 0 ? RadToDeg(std::asin(dz / l.Length)) : 0;
    l.Compass = RadToDeg(std::atan2(dx, dy));
    if (l.Compass < 0)
        l.Compass += 360;
}

inline std::string StationName(int k) {
    const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string s = "S   ";
    s[1] = digits[(k / 1296) % 36];
    s[2] = digits[(k / 36) % 36];
    s[3] = digits[k % 36];
    return s;
}

// Reduces the cave as a read would leave it: vectors and the first-shot placement.
inline void Reduce(TKviste& cave) {
    ComputeLegVectors(cave);
    LinkStations(cave);
}

inline TNetwork MakeNetwork(const TNetworkOptions& o) {
    TNetwork net;
    std::mt19937 rng(o.Seed);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    std::uniform_int_distribution<int> legs(1, o.MaxLegs);
    std::normal_distribution<double> unit(0, 1);
    auto station = [&](const TVec3& p) {
        net.Truth.push_back(p);
        net.Names.push_back(StationName(static_cast<int>(net.Names.size())));
        return static_cast<int>(net.Names.size()) - 1;
    };
    struct Shot {
        int From, To;
    };
    std::vector<Shot> shots;
    auto junction = [&](int c, int r) { return r * o.Columns + c; };
    for (int r = 0; r < o.Rows; ++r)
        for (int c = 0; c < o.Columns; ++c)
            station({o.Spacing * (c + jitter(rng)), o.Spacing * (r + jitter(rng)),
                     o.Spacing * jitter(rng)});
    auto traverse = [&](int a, int b) {
        const int n = legs(rng);
        int at = a;
        for (int k = 1; k < n; ++k) {
            const double f = double(k) / n;
            const TVec3& pa = net.Truth[a];
            const TVec3& pb = net.Truth[b];
            const double side = o.Spacing / n;
            const int s = station({pa.X + f * (pb.X - pa.X) + side * jitter(rng),
                                   pa.Y + f * (pb.Y - pa.Y) + side * jitter(rng),
                                   pa.Z + f * (pb.Z - pa.Z) + side * jitter(rng)});
            shots.push_back({at, s});
            at = s;
        }
        shots.push_back({at, b});
    };
    for (int r = 0; r < o.Rows; ++r)
        for (int c = 0; c < o.Columns; ++c) {
            if (c + 1 < o.Columns)
                traverse(junction(c, r), junction(c + 1, r));
            if (r + 1 < o.Rows)
                traverse(junction(c, r), junction(c, r + 1));
        }
    std::uniform_int_distribution<std::size_t> any(0, net.Names.size() - 1);
    for (int b = 0; b < o.Branches; ++b) {
        int at = static_cast<int>(any(rng));
        for (int k = 0; k < 2; ++k) {
            const TVec3& p = net.Truth[at];
            const int s =
                station({p.X + 8 * jitter(rng) + 3, p.Y + 8 * jitter(rng), p.Z + 4 * jitter(rng)});
            shots.push_back({at, s});
            at = s;
        }
    }
    // Shots in a shuffled order, about half of them measured backwards.
    std::shuffle(shots.begin(), shots.end(), rng);
    std::bernoulli_distribution flip(0.5);
    for (Shot& s : shots)
        if (flip(rng))
            std::swap(s.From, s.To);

    TKviste& cave = net.Cave;
    cave.CaveName = "Nettet";
    cave.StartPos = net.Truth[0];
    cave.Lines.resize(shots.size() + 2);
    cave.LineCount = static_cast<std::int32_t>(shots.size()) + 1;
    cave.Lines[1].FromName = str4(net.Names[0]);
    cave.Lines[1].ToName = str4(net.Names[0]);
    for (std::size_t k = 0; k < shots.size(); ++k) {
        Tdatalinje& l = cave.Lines[k + 2];
        l.FromName = str4(net.Names[shots[k].From]);
        l.ToName = str4(net.Names[shots[k].To]);
        SetReadings(l, net.Truth[shots[k].From], net.Truth[shots[k].To]);
        l.Length += o.SdTape * unit(rng);
        l.Compass += o.SdCompass * unit(rng);
        l.Clino += o.SdClino * unit(rng);
    }
    Reduce(cave);
    return net;
}
