// The adjustment works on the structure of a cave network: most stations hang off the network
// or sit on chains between junctions, so only the junctions are unknowns of the sparse normal
// equations and everything else is placed exactly afterwards.
#include "reduction/NetworkAdjustment.h"

#include "model/Geometry.h"

#include <Eigen/Cholesky>
#include <Eigen/LU>
#include <Eigen/Sparse>
#include <Eigen/SparseCholesky>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

namespace {

using Eigen::Matrix3d;
using Eigen::Vector3d;

// Traverses analysed for blunders; each costs a solve with the factor.
constexpr std::size_t kMaxAnalysedTraverses = 200;

Vector3d ToEigen(const TVec3& v) {
    return {v.X, v.Y, v.Z};
}
TVec3 FromEigen(const Vector3d& v) {
    return {v.x(), v.y(), v.z()};
}

struct UnionFind {
    std::vector<std::int32_t> Parent;
    explicit UnionFind(std::size_t n) : Parent(n) { std::iota(Parent.begin(), Parent.end(), 0); }
    std::int32_t Find(std::int32_t a) {
        while (Parent[a] != a) {
            Parent[a] = Parent[Parent[a]];
            a = Parent[a];
        }
        return a;
    }
    void Join(std::int32_t a, std::int32_t b) {
        a = Find(a);
        b = Find(b);
        if (a != b)
            Parent[std::max(a, b)] = std::min(a, b);
    }
};

// One shot with a length between two nodes (tied names are one node).
struct Edge {
    std::int32_t Line;
    std::int32_t From, To;
};

struct ChainLeg {
    std::int32_t Edge;
    bool Forward; // walked from its From node to its To node
};

struct Chain {
    std::int32_t From, To; // nodes
    std::vector<ChainLeg> Legs;
    Vector3d Observed = Vector3d::Zero();
    Matrix3d Covariance = Matrix3d::Zero();
};

std::string LineText(const TKviste& cave, std::int32_t line) {
    const Tdatalinje& l = cave.Lines[static_cast<std::size_t>(line)];
    return "line " + std::to_string(line) + " (" + l.FromName.str() + " " + l.ToName.str() + ")";
}

bool PositiveDefinite(const Matrix3d& m) {
    const Eigen::LLT<Matrix3d> llt(m);
    return llt.info() == Eigen::Success && llt.matrixLLT().diagonal().minCoeff() > 1e-9;
}

class Solver {
public:
    Solver(const TKviste& cave, const TAdjustmentSettings& settings, TAdjustment& out)
        : cave_(cave), settings_(settings), out_(out) {}

    void Run();

private:
    void CollectNames();
    bool BuildEdges();
    void MarkConnected();
    void Peel();
    void BuildChains();
    void MarkBridges();
    bool SolveJunctions();
    void PlaceChains();
    void PlaceHanging();
    void FindSuspects();
    void Finish();

    std::int32_t NodeOfLine(std::int32_t line) const { return nodeOfName_[fromName_[line]]; }
    Vector3d Delta(std::int32_t line) const {
        return ToEigen(cave_.Lines[static_cast<std::size_t>(line)].Delta);
    }

    const TKviste& cave_;
    const TAdjustmentSettings& settings_;
    TAdjustment& out_;

    std::vector<std::int32_t> fromName_, toName_; // per line, Names entries
    std::vector<std::int32_t> nodeOfName_;
    std::int32_t nodes_ = 0;
    std::int32_t fixed_ = 0;
    std::vector<Edge> edges_;
    std::vector<Matrix3d> cov_;                // per edge
    std::vector<std::int32_t> selfLoops_;      // lines of shots that begin and end at one node
    std::vector<std::int32_t> adjStart_, adj_; // node -> incident edges
    std::vector<bool> connected_;
    std::vector<bool> edgeAlive_;
    std::vector<std::int32_t> degree_;
    std::vector<std::pair<std::int32_t, std::int32_t>> peeled_; // node, its edge, in order
    std::vector<Chain> chains_;
    std::vector<bool> onLoop_;          // per chain: false for a bridge of the junction network
    std::vector<std::int32_t> unknown_; // node -> junction unknown, -1 when none
    std::vector<Vector3d> pos_;
    std::vector<bool> placed_;
    Eigen::SparseMatrix<double> normal_;
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> factor_;
};

void Solver::CollectNames() {
    fromName_.assign(static_cast<std::size_t>(cave_.LineCount) + 1, 0);
    toName_.assign(static_cast<std::size_t>(cave_.LineCount) + 1, 0);
    for (std::int32_t i = 1; i <= cave_.LineCount; ++i) {
        fromName_[i] = out_.AddName(cave_.Lines[static_cast<std::size_t>(i)].FromName);
        toName_[i] = out_.AddName(cave_.Lines[static_cast<std::size_t>(i)].ToName);
    }
    // Positions as the reduction left them: the first shot reaching a name; a name no shot
    // reaches gets the start position (it can only be placed through the adjustment).
    out_.Positions.assign(out_.Names.size(), cave_.StartPos);
    std::vector<bool> seen(out_.Names.size(), false);
    for (std::int32_t i = 1; i <= cave_.LineCount; ++i) {
        const std::int32_t n = toName_[i];
        if (!seen[n]) {
            seen[n] = true;
            out_.Positions[n] = cave_.Lines[static_cast<std::size_t>(i)].Pos;
        }
    }
}

bool Solver::BuildEdges() {
    const std::size_t names = out_.Names.size();
    UnionFind ties(names);
    for (std::int32_t i = 1; i <= cave_.LineCount; ++i)
        if (cave_.Lines[static_cast<std::size_t>(i)].Delta == TVec3{})
            ties.Join(fromName_[i], toName_[i]);
    nodeOfName_.assign(names, -1);
    std::vector<std::int32_t> nodeOfRoot(names, -1);
    for (std::size_t n = 0; n < names; ++n) {
        const std::int32_t root = ties.Find(static_cast<std::int32_t>(n));
        if (nodeOfRoot[root] < 0)
            nodeOfRoot[root] = nodes_++;
        else
            ++out_.TiedNames;
        nodeOfName_[n] = nodeOfRoot[root];
    }
    fixed_ = nodeOfName_[fromName_[1]];

    for (std::int32_t i = 1; i <= cave_.LineCount; ++i) {
        const Tdatalinje& l = cave_.Lines[static_cast<std::size_t>(i)];
        if (l.Delta == TVec3{})
            continue;
        const Vector3d d = ToEigen(l.Delta);
        if (!d.allFinite()) {
            out_.Message = "The shot in " + LineText(cave_, i) + " has no usable readings.";
            return false;
        }
        const std::int32_t a = nodeOfName_[fromName_[i]], b = nodeOfName_[toName_[i]];
        if (a == b)
            selfLoops_.push_back(i);
        else
            edges_.push_back({i, a, b});
    }

    // Incidence lists in compressed form: one allocation however large the cave.
    adjStart_.assign(static_cast<std::size_t>(nodes_) + 1, 0);
    for (const Edge& e : edges_) {
        ++adjStart_[e.From + 1];
        ++adjStart_[e.To + 1];
    }
    std::partial_sum(adjStart_.begin(), adjStart_.end(), adjStart_.begin());
    adj_.resize(static_cast<std::size_t>(adjStart_.back()));
    std::vector<std::int32_t> fill(adjStart_.begin(), adjStart_.end() - 1);
    for (std::size_t k = 0; k < edges_.size(); ++k) {
        adj_[fill[edges_[k].From]++] = static_cast<std::int32_t>(k);
        adj_[fill[edges_[k].To]++] = static_cast<std::int32_t>(k);
    }
    return true;
}

void Solver::MarkConnected() {
    connected_.assign(static_cast<std::size_t>(nodes_), false);
    std::vector<std::int32_t> stack{fixed_};
    connected_[fixed_] = true;
    while (!stack.empty()) {
        const std::int32_t n = stack.back();
        stack.pop_back();
        for (std::int32_t k = adjStart_[n]; k < adjStart_[n + 1]; ++k) {
            const Edge& e = edges_[adj_[k]];
            const std::int32_t m = e.From == n ? e.To : e.From;
            if (!connected_[m]) {
                connected_[m] = true;
                stack.push_back(m);
            }
        }
    }
}

void Solver::Peel() {
    edgeAlive_.assign(edges_.size(), false);
    degree_.assign(static_cast<std::size_t>(nodes_), 0);
    for (std::size_t k = 0; k < edges_.size(); ++k) {
        if (!connected_[edges_[k].From])
            continue;
        edgeAlive_[k] = true;
        ++degree_[edges_[k].From];
        ++degree_[edges_[k].To];
    }
    std::vector<std::int32_t> leaves;
    for (std::int32_t n = 0; n < nodes_; ++n)
        if (connected_[n] && n != fixed_ && degree_[n] == 1)
            leaves.push_back(n);
    while (!leaves.empty()) {
        const std::int32_t n = leaves.back();
        leaves.pop_back();
        for (std::int32_t k = adjStart_[n]; k < adjStart_[n + 1]; ++k) {
            const std::int32_t e = adj_[k];
            if (!edgeAlive_[e])
                continue;
            edgeAlive_[e] = false;
            --degree_[n];
            const std::int32_t m = edges_[e].From == n ? edges_[e].To : edges_[e].From;
            peeled_.emplace_back(n, e);
            if (--degree_[m] == 1 && m != fixed_)
                leaves.push_back(m);
            break;
        }
    }
}

void Solver::BuildChains() {
    auto isJunction = [&](std::int32_t n) { return n == fixed_ || degree_[n] != 2; };
    std::vector<bool> walked(edges_.size(), false);
    for (std::int32_t j = 0; j < nodes_; ++j) {
        if (!connected_[j] || degree_[j] == 0 || !isJunction(j))
            continue;
        for (std::int32_t k = adjStart_[j]; k < adjStart_[j + 1]; ++k) {
            std::int32_t e = adj_[k];
            if (!edgeAlive_[e] || walked[e])
                continue;
            Chain c;
            c.From = j;
            std::int32_t at = j;
            while (true) {
                walked[e] = true;
                const bool forward = edges_[e].From == at && !(edges_[e].To == at);
                c.Legs.push_back({e, forward});
                const Vector3d d = Delta(edges_[e].Line);
                c.Observed += forward ? d : Vector3d(-d);
                c.Covariance += cov_[e];
                at = forward ? edges_[e].To : edges_[e].From;
                if (isJunction(at))
                    break;
                // A chain station has exactly two live edges; leave by the one not arrived on.
                std::int32_t next = -1;
                for (std::int32_t q = adjStart_[at]; q < adjStart_[at + 1]; ++q)
                    if (edgeAlive_[adj_[q]] && adj_[q] != e) {
                        next = adj_[q];
                        break;
                    }
                if (next < 0)
                    break; // cannot happen on a station of degree two; never walk off the table
                e = next;
            }
            c.To = at;
            chains_.push_back(std::move(c));
        }
    }
    for (std::int32_t line : selfLoops_) {
        const std::int32_t n = NodeOfLine(line);
        if (!connected_[n])
            continue;
        Chain c;
        c.From = c.To = n;
        c.Legs.push_back({-1 - line, true}); // a self-loop shot has no edge of its own
        c.Observed = Delta(line);
        c.Covariance = ShotCovariance(cave_.Lines[static_cast<std::size_t>(line)], settings_);
        chains_.push_back(std::move(c));
    }
}

// Tarjan's bridges, iteratively: a traverse whose removal splits the network lies on no loop,
// and its misclosure is zero by construction, not by a good survey.
void Solver::MarkBridges() {
    onLoop_.assign(chains_.size(), true);
    std::vector<std::int32_t> start(static_cast<std::size_t>(nodes_) + 1, 0), list;
    for (const Chain& c : chains_)
        if (c.From != c.To) {
            ++start[c.From + 1];
            ++start[c.To + 1];
        }
    std::partial_sum(start.begin(), start.end(), start.begin());
    list.resize(static_cast<std::size_t>(start.back()));
    std::vector<std::int32_t> fill(start.begin(), start.end() - 1);
    for (std::size_t k = 0; k < chains_.size(); ++k)
        if (chains_[k].From != chains_[k].To) {
            list[fill[chains_[k].From]++] = static_cast<std::int32_t>(k);
            list[fill[chains_[k].To]++] = static_cast<std::int32_t>(k);
        }
    std::vector<std::int32_t> order(static_cast<std::size_t>(nodes_), -1), low(order.size());
    struct Frame {
        std::int32_t Node, Via, Next;
    };
    std::vector<Frame> stack;
    std::int32_t counter = 0;
    for (std::int32_t root = 0; root < nodes_; ++root) {
        if (order[root] >= 0 || start[root] == start[root + 1])
            continue;
        order[root] = low[root] = counter++;
        stack.push_back({root, -1, start[root]});
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (f.Next < start[f.Node + 1]) {
                const std::int32_t k = list[f.Next++];
                if (k == f.Via)
                    continue;
                const std::int32_t m = chains_[k].From == f.Node ? chains_[k].To : chains_[k].From;
                if (order[m] < 0) {
                    order[m] = low[m] = counter++;
                    stack.push_back({m, k, start[m]});
                } else {
                    low[f.Node] = std::min(low[f.Node], order[m]);
                }
                continue;
            }
            const Frame done = f;
            stack.pop_back();
            if (!stack.empty()) {
                const std::int32_t parent = stack.back().Node;
                low[parent] = std::min(low[parent], low[done.Node]);
                if (low[done.Node] > order[parent])
                    onLoop_[done.Via] = false;
            }
        }
    }
}

bool Solver::SolveJunctions() {
    unknown_.assign(static_cast<std::size_t>(nodes_), -1);
    std::int32_t unknowns = 0;
    for (std::int32_t n = 0; n < nodes_; ++n)
        if (connected_[n] && n != fixed_ && degree_[n] != 2 && degree_[n] > 0)
            unknown_[n] = unknowns++;
    out_.Junctions = unknowns;
    pos_.assign(static_cast<std::size_t>(nodes_), Vector3d::Zero());
    placed_.assign(static_cast<std::size_t>(nodes_), false);
    pos_[fixed_] = ToEigen(cave_.StartPos);
    placed_[fixed_] = true;
    if (unknowns == 0)
        return true;

    std::vector<Eigen::Triplet<double>> triplets;
    triplets.reserve(chains_.size() * 36);
    Eigen::VectorXd rhs = Eigen::VectorXd::Zero(3 * unknowns);
    auto block = [&](std::int32_t r, std::int32_t c, const Matrix3d& m) {
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 3; ++k)
                triplets.emplace_back(3 * r + i, 3 * c + k, m(i, k));
    };
    for (const Chain& c : chains_) {
        if (c.From == c.To)
            continue;
        const Matrix3d w = c.Covariance.inverse();
        const Vector3d wd = w * c.Observed;
        const std::int32_t a = unknown_[c.From], b = unknown_[c.To];
        // x_To - x_From = Observed, weighted by w.
        if (b >= 0) {
            block(b, b, w);
            rhs.segment<3>(3 * b) += wd;
            if (a >= 0)
                block(b, a, -w);
            else
                rhs.segment<3>(3 * b) += w * pos_[c.From];
        }
        if (a >= 0) {
            block(a, a, w);
            rhs.segment<3>(3 * a) -= wd;
            if (b >= 0)
                block(a, b, -w);
            else
                rhs.segment<3>(3 * a) += w * pos_[c.To];
        }
    }
    normal_.resize(3 * unknowns, 3 * unknowns);
    normal_.setFromTriplets(triplets.begin(), triplets.end());
    triplets = {};
    factor_.compute(normal_);
    const auto& pivots = factor_.vectorD();
    if (factor_.info() != Eigen::Success || !(pivots.minCoeff() > 1e-13 * pivots.maxCoeff())) {
        out_.Message = "The normal equations of the network are singular: some stations are not "
                       "held in every direction.";
        return false;
    }
    const Eigen::VectorXd x = factor_.solve(rhs);
    if (factor_.info() != Eigen::Success || !x.allFinite()) {
        out_.Message = "The normal equations of the network could not be solved.";
        return false;
    }
    for (std::int32_t n = 0; n < nodes_; ++n)
        if (unknown_[n] >= 0) {
            pos_[n] = x.segment<3>(3 * unknown_[n]);
            placed_[n] = true;
        }
    return true;
}

void Solver::PlaceChains() {
    out_.Traverses.reserve(chains_.size());
    for (const Chain& c : chains_) {
        const Vector3d misclosure = pos_[c.To] - pos_[c.From] - c.Observed;
        const Eigen::LDLT<Matrix3d> ldlt(c.Covariance);
        const Vector3d y = ldlt.solve(misclosure);
        // Each leg takes the share of the misclosure its covariance asks for.
        Vector3d at = pos_[c.From];
        TTraverse t;
        t.FromName = out_.Names[0];
        for (std::size_t k = 0; k < c.Legs.size(); ++k) {
            const ChainLeg& leg = c.Legs[k];
            const std::int32_t line = leg.Edge < 0 ? -1 - leg.Edge : edges_[leg.Edge].Line;
            const Tdatalinje& l = cave_.Lines[static_cast<std::size_t>(line)];
            t.Lines.push_back(line);
            t.Length += std::fabs(l.Length);
            if (k == 0)
                t.FromName = leg.Forward ? l.FromName : l.ToName;
            if (k + 1 == c.Legs.size()) {
                t.ToName = leg.Forward ? l.ToName : l.FromName;
                break;
            }
            const Vector3d d = Delta(line);
            at += (leg.Forward ? d : Vector3d(-d)) + cov_[leg.Edge] * y;
            const Edge& e = edges_[leg.Edge];
            const std::int32_t n = leg.Forward ? e.To : e.From;
            pos_[n] = at;
            placed_[n] = true;
        }
        t.OnLoop = onLoop_[out_.Traverses.size()];
        t.Misclosure = misclosure;
        t.ChiSquare = std::max(0.0, misclosure.dot(y));
        t.NormalisedError = std::sqrt(t.ChiSquare / 3);
        t.Flagged = t.NormalisedError > settings_.FlagLimit;
        out_.ChiSquare += t.ChiSquare;
        out_.Traverses.push_back(std::move(t));
    }
}

void Solver::PlaceHanging() {
    for (auto it = peeled_.rbegin(); it != peeled_.rend(); ++it) {
        const auto [n, e] = *it;
        const Edge& edge = edges_[e];
        const Vector3d d = Delta(edge.Line);
        pos_[n] = edge.To == n ? Vector3d(pos_[edge.From] + d) : Vector3d(pos_[edge.To] - d);
        placed_[n] = true;
    }
}

void Solver::FindSuspects() {
    std::vector<std::size_t> flagged;
    for (std::size_t t = 0; t < out_.Traverses.size(); ++t)
        if (out_.Traverses[t].Flagged)
            flagged.push_back(t);
    std::sort(flagged.begin(), flagged.end(), [&](std::size_t a, std::size_t b) {
        return out_.Traverses[a].ChiSquare > out_.Traverses[b].ChiSquare;
    });
    if (flagged.size() > kMaxAnalysedTraverses) {
        out_.FlaggedNotAnalysed = static_cast<std::int64_t>(flagged.size() - kMaxAnalysedTraverses);
        flagged.resize(kMaxAnalysedTraverses);
    }
    for (const std::size_t t : flagged) {
        const Chain& c = chains_[t];
        const TTraverse& trav = out_.Traverses[t];
        // Covariance of the traverse's misclosure: its own less what the rest of the network
        // takes up, C - A N^-1 A^T.
        Matrix3d q = c.Covariance;
        const std::int32_t a = unknown_[c.From], b = unknown_[c.To];
        if (c.From != c.To && (a >= 0 || b >= 0)) {
            Eigen::MatrixXd rhs = Eigen::MatrixXd::Zero(normal_.rows(), 3);
            if (b >= 0)
                rhs.middleRows<3>(3 * b) += Matrix3d::Identity();
            if (a >= 0)
                rhs.middleRows<3>(3 * a) -= Matrix3d::Identity();
            const Eigen::MatrixXd z = factor_.solve(rhs);
            Matrix3d taken = Matrix3d::Zero();
            if (b >= 0)
                taken += z.middleRows<3>(3 * b);
            if (a >= 0)
                taken -= z.middleRows<3>(3 * a);
            q -= 0.5 * (taken + taken.transpose());
        }
        const Matrix3d w = c.Covariance.inverse();
        const Vector3d wv = w * trav.Misclosure;
        const Matrix3d wqw = w * q * w;
        TSuspect best;
        best.Statistic = -1;
        for (std::size_t k = 0; k < c.Legs.size(); ++k) {
            const Tdatalinje& l = cave_.Lines[static_cast<std::size_t>(trav.Lines[k])];
            const double sign = c.Legs[k].Forward ? 1 : -1;
            for (const TReading r : {TReading::Tape, TReading::Compass, TReading::Clino}) {
                Vector3d g = sign * ReadingDerivative(l, r);
                double change = 0, statistic = -1;
                // A blunder of several degrees turns the shot along a chord, not the tangent:
                // take the secant of the change found so far and estimate again.
                for (int pass = 0; pass < (r == TReading::Tape ? 1 : 4); ++pass) {
                    const double spread = g.dot(wqw * g);
                    if (!(spread > 1e-12 * g.squaredNorm() * wqw.norm())) {
                        statistic = -1;
                        break; // a change the network cannot see
                    }
                    const double projected = g.dot(wv);
                    statistic = projected * projected / spread;
                    change = -projected / spread;
                    if (!(std::fabs(change) > 1e-9))
                        break;
                    Tdatalinje fitted = l;
                    (r == TReading::Compass ? fitted.Compass : fitted.Clino) -= RadToDeg(change);
                    TVec3 d;
                    ShotVector(d, fitted.Compass, fitted.Clino, fitted.Length);
                    g = sign * (ToEigen(l.Delta) - ToEigen(d)) / change;
                }
                if (statistic > best.Statistic) {
                    best.Statistic = statistic;
                    best.Line = trav.Lines[k];
                    best.Reading = r;
                    best.Change = r == TReading::Tape ? change : RadToDeg(change);
                    best.Traverse = static_cast<std::int32_t>(t);
                }
            }
        }
        if (best.Statistic >= 0)
            out_.Suspects.push_back(best);
    }
    std::stable_sort(
        out_.Suspects.begin(), out_.Suspects.end(),
        [](const TSuspect& a, const TSuspect& b) { return a.Statistic > b.Statistic; });
}

void Solver::Finish() {
    out_.Connected.assign(out_.Names.size(), false);
    for (std::size_t n = 0; n < out_.Names.size(); ++n) {
        const std::int32_t node = nodeOfName_[n];
        if (connected_[node] && placed_[node]) {
            out_.Positions[n] = FromEigen(pos_[node]);
            out_.Connected[n] = true;
        } else {
            ++out_.Unconnected;
        }
    }
    for (std::int32_t n = 0; n < nodes_; ++n)
        out_.Stations += connected_[n] ? 1 : 0;
    for (const Edge& e : edges_)
        out_.Shots += connected_[e.From] ? 1 : 0;
    for (std::int32_t line : selfLoops_)
        out_.Shots += connected_[NodeOfLine(line)];
    out_.DegreesOfFreedom = 3 * (static_cast<std::int64_t>(chains_.size()) - out_.Junctions);
    out_.Ok = true;
}

void Solver::Run() {
    if (const std::string problem = CheckAdjustmentSettings(settings_); !problem.empty()) {
        out_.Message = problem;
        return;
    }
    if (cave_.LineCount < 1) {
        out_.Message = "The survey has no shots to adjust.";
        return;
    }
    CollectNames();
    if (!BuildEdges())
        return;
    MarkConnected();
    Peel();
    // Hanging shots are placed exactly whatever their spread, so only the others need weights.
    const std::string unweighted = " has no uncertainty in some direction (a standard deviation "
                                   "of zero), so the network cannot be weighted.";
    cov_.resize(edges_.size());
    for (std::size_t k = 0; k < edges_.size(); ++k) {
        if (!edgeAlive_[k])
            continue;
        cov_[k] = ShotCovariance(cave_.Lines[static_cast<std::size_t>(edges_[k].Line)], settings_);
        if (!PositiveDefinite(cov_[k])) {
            out_.Message = "The shot in " + LineText(cave_, edges_[k].Line) + unweighted;
            return;
        }
    }
    for (std::int32_t line : selfLoops_)
        if (connected_[NodeOfLine(line)] &&
            !PositiveDefinite(
                ShotCovariance(cave_.Lines[static_cast<std::size_t>(line)], settings_))) {
            out_.Message = "The shot in " + LineText(cave_, line) + unweighted;
            return;
        }
    BuildChains();
    MarkBridges();
    if (!SolveJunctions())
        return;
    PlaceChains();
    PlaceHanging();
    FindSuspects();
    Finish();
}

} // namespace

std::string CheckAdjustmentSettings(const TAdjustmentSettings& s) {
    const auto bad = [](double v, double most) { return !(v >= 0 && v <= most); };
    if (bad(s.SdTape, 1000))
        return "The tape standard deviation must be from 0 to 1000 m.";
    if (bad(s.SdCompass, 180))
        return "The compass standard deviation must be from 0 to 180 degrees.";
    if (bad(s.SdClino, 180))
        return "The clino standard deviation must be from 0 to 180 degrees.";
    if (!(s.FlagLimit > 0 && s.FlagLimit < 1e6))
        return "The flag limit must be above 0.";
    return {};
}

const char* ReadingName(TReading reading) {
    switch (reading) {
    case TReading::Tape:
        return "tape";
    case TReading::Compass:
        return "compass";
    case TReading::Clino:
        break;
    }
    return "clino";
}

Vector3d ReadingDerivative(const Tdatalinje& shot, TReading reading) {
    const double b = DegToRad(shot.Compass), c = DegToRad(shot.Clino), len = shot.Length;
    switch (reading) {
    case TReading::Tape:
        return {std::cos(c) * std::sin(b), std::cos(c) * std::cos(b), std::sin(c)};
    case TReading::Compass:
        return {len * std::cos(c) * std::cos(b), -len * std::cos(c) * std::sin(b), 0};
    case TReading::Clino:
        break;
    }
    return {-len * std::sin(c) * std::sin(b), -len * std::sin(c) * std::cos(b), len * std::cos(c)};
}

Matrix3d ShotCovariance(const Tdatalinje& shot, const TAdjustmentSettings& settings) {
    const double sb = DegToRad(settings.SdCompass), sc = DegToRad(settings.SdClino);
    const Vector3d t = ReadingDerivative(shot, TReading::Tape) * settings.SdTape;
    const Vector3d b = ReadingDerivative(shot, TReading::Compass) * sb;
    const Vector3d c = ReadingDerivative(shot, TReading::Clino) * sc;
    Matrix3d cov = t * t.transpose() + b * b.transpose() + c * c.transpose();
    const double horizontal = std::fabs(shot.Length * std::cos(DegToRad(shot.Clino)));
    if (horizontal < 1e-9 * std::fabs(shot.Length)) {
        const double v = shot.Length * shot.Length * sc * sc;
        cov(0, 0) = cov(1, 1) = v;
        cov(0, 1) = cov(1, 0) = 0;
    }
    return cov;
}

std::int32_t TAdjustment::NameIndex(const str4& name) const {
    if (slots_.empty())
        return -1;
    for (std::size_t k = Home(name);; k = (k + 1) & (slots_.size() - 1)) {
        const std::int32_t n = slots_[k];
        if (n < 0 || Names[static_cast<std::size_t>(n)] == name)
            return n;
    }
}

std::int32_t TAdjustment::AddName(const str4& name) {
    if (2 * (Names.size() + 1) > slots_.size())
        Grow();
    std::size_t k = Home(name);
    for (;; k = (k + 1) & (slots_.size() - 1)) {
        const std::int32_t n = slots_[k];
        if (n < 0)
            break;
        if (Names[static_cast<std::size_t>(n)] == name)
            return n;
    }
    slots_[k] = static_cast<std::int32_t>(Names.size());
    Names.push_back(name);
    return slots_[k];
}

void TAdjustment::Grow() {
    const std::size_t size = std::max<std::size_t>(64, 2 * slots_.size());
    slots_.assign(size, -1);
    shift_ = 64 - std::countr_zero(size);
    for (std::size_t n = 0; n < Names.size(); ++n) {
        std::size_t k = Home(Names[n]);
        while (slots_[k] >= 0)
            k = (k + 1) & (size - 1);
        slots_[k] = static_cast<std::int32_t>(n);
    }
}

const TVec3* TAdjustment::PositionOf(const str4& name) const {
    const std::int32_t n = NameIndex(name);
    return n < 0 || Positions.empty() ? nullptr : &Positions[static_cast<std::size_t>(n)];
}

TAdjustment AdjustNetwork(const TKviste& cave, const TAdjustmentSettings& settings) {
    TAdjustment out;
    Solver(cave, settings, out).Run();
    if (!out.Ok) {
        // Nothing half-done leaves here: a failed adjustment has no positions.
        out.Positions.clear();
        out.Connected.clear();
        out.Traverses.clear();
        out.Suspects.clear();
    }
    return out;
}

void ApplyAdjustment(TKviste& cave, const TAdjustment& adjustment) {
    if (!adjustment.Ok)
        return;
    for (std::int32_t i = 1; i <= cave.LineCount; ++i) {
        Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
        const std::int32_t n = adjustment.NameIndex(l.ToName);
        if (n < 0 || !adjustment.Connected[static_cast<std::size_t>(n)])
            continue;
        l.Pos = adjustment.Positions[static_cast<std::size_t>(n)];
        WallPoints(cave, i);
        if (!l.ScanPoints.empty())
            ScanWorld(cave, i);
    }
}
