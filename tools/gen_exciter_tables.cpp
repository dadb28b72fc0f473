// Generates src/kick/ExciterTables.cpp: the two recorded exciter waveforms (571 samples at 96 kHz).
//
// Only a few measured rows of each waveform are known. Everything in between is filled by
// piecewise-cubic Hermite interpolation with Fritsch-Carlson (PCHIP) slopes, which never
// overshoots the rows: every extremum of the table sits on a row, so the minima land exactly
// on index 341 (table A) and 373 (table B), and between two rows the curve is monotone, so each
// sign change happens once, inside the row interval that brackets it.
//
// The waveform is interpolated as two separate pieces, 0..95 and 96..570, because the trigger
// ends with a sharp drop between 95 and 96 that must stay a step.
//
// No further shaping is needed: with these rows plain PCHIP already puts table B's first zero
// crossing between 188 and 189 (188: +0.0827, 189: -0.0173) and the others where they belong.
// main() verifies every placement rule before writing, so a change to the rows that breaks one
// fails here instead of in the table.
//
// Usage: gen_exciter_tables <output .cpp>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const int kLength = 571;
const int kStepIndex = 96;  // first sample after the trigger's drop

struct Row {
    int index;
    double a;
    double b;
};

const Row kRows[] = {
    {0, 3.60545, 12.59781},   {1, 3.44430, 11.57291},    {2, 3.32674, 10.98892},
    {5, 3.08079, 10.15281},   {10, 2.89427, 9.52850},    {20, 2.86861, 9.47759},
    {40, 3.07751, 10.28923},  {60, 3.24834, 10.98005},   {80, 3.33315, 11.38013},
    {90, 3.34172, 11.46474},  {95, 3.33749, 11.47781},   {96, 2.58188, 10.14194},
    {100, 2.31489, 9.64565},  {120, 1.22929, 7.15389},   {140, 0.54154, 4.90413},
    {160, -0.03992, 2.88240}, {180, -0.57634, 0.88290},  {200, -1.07946, -1.10092},
    {250, -2.14930, -5.73746}, {300, -2.82637, -9.31639}, {341, -3.00646, -11.02073},
    {373, -2.89554, -11.43248}, {400, -2.63646, -11.12674}, {450, -1.81100, -9.06464},
    {500, -0.66867, -5.41273}, {550, 0.61130, -0.81778},  {570, 1.14109, 1.11728},
};

struct Knot {
    double x;
    double y;
};

double sign(double v) { return (v > 0) - (v < 0); }

// Fritsch-Carlson slopes, with the three-point end formula used by common PCHIP implementations.
std::vector<double> pchipSlopes(const std::vector<Knot>& k) {
    const size_t n = k.size();
    std::vector<double> h(n - 1), delta(n - 1), d(n, 0.0);
    for (size_t i = 0; i + 1 < n; ++i) {
        h[i] = k[i + 1].x - k[i].x;
        delta[i] = (k[i + 1].y - k[i].y) / h[i];
    }
    for (size_t i = 1; i + 1 < n; ++i) {
        if (delta[i - 1] * delta[i] <= 0) continue;
        const double w1 = 2 * h[i] + h[i - 1];
        const double w2 = h[i] + 2 * h[i - 1];
        d[i] = (w1 + w2) / (w1 / delta[i - 1] + w2 / delta[i]);
    }
    auto endSlope = [](double h0, double h1, double d0, double d1) {
        double s = ((2 * h0 + h1) * d0 - h0 * d1) / (h0 + h1);
        if (sign(s) != sign(d0)) return 0.0;
        if (sign(d0) != sign(d1) && std::fabs(s) > 3 * std::fabs(d0)) return 3 * d0;
        return s;
    };
    d[0] = endSlope(h[0], h[1], delta[0], delta[1]);
    d[n - 1] = endSlope(h[n - 2], h[n - 3], delta[n - 2], delta[n - 3]);
    return d;
}

// Fills out[first..last] from knots spanning exactly that range.
void interpolate(const std::vector<Knot>& k, const std::vector<double>& d, double* out) {
    size_t seg = 0;
    const int first = (int)k.front().x;
    const int last = (int)k.back().x;
    for (int i = first; i <= last; ++i) {
        while (seg + 2 < k.size() && i > k[seg + 1].x) ++seg;
        const double h = k[seg + 1].x - k[seg].x;
        const double t = (i - k[seg].x) / h;
        const double t2 = t * t, t3 = t2 * t;
        out[i] = (2 * t3 - 3 * t2 + 1) * k[seg].y + (t3 - 2 * t2 + t) * h * d[seg] +
                 (-2 * t3 + 3 * t2) * k[seg + 1].y + (t3 - t2) * h * d[seg + 1];
    }
    for (const Knot& knot : k) out[(int)knot.x] = knot.y;  // rows exactly, not up to rounding
}

void buildPiece(char table, int first, int last, double* out) {
    std::vector<Knot> knots;
    for (const Row& r : kRows)
        if (r.index >= first && r.index <= last) knots.push_back({(double)r.index, table == 'A' ? r.a : r.b});
    interpolate(knots, pchipSlopes(knots), out);
}

void buildTable(char table, double* out) {
    buildPiece(table, 0, kStepIndex - 1, out);
    buildPiece(table, kStepIndex, kLength - 1, out);
}

struct Placement {
    int minIndex;
    int firstCrossing;   // sign differs between this index and the next
    int secondCrossing;
};

bool verify(const char* name, const double* t, const Placement& want) {
    bool ok = true;
    int minIndex = 0;
    for (int i = 1; i < kLength; ++i)
        if (t[i] < t[minIndex]) minIndex = i;
    if (minIndex != want.minIndex) {
        std::fprintf(stderr, "table %s: minimum at %d, want %d\n", name, minIndex, want.minIndex);
        ok = false;
    }
    std::vector<int> crossings;
    for (int i = 0; i + 1 < kLength; ++i)
        if ((t[i] > 0) != (t[i + 1] > 0)) crossings.push_back(i);
    if (crossings.size() != 2 || crossings[0] != want.firstCrossing || crossings[1] != want.secondCrossing) {
        std::fprintf(stderr, "table %s: %zu sign changes, first after %d, want %d and %d\n", name,
                     crossings.size(), crossings.empty() ? -1 : crossings[0], want.firstCrossing,
                     want.secondCrossing);
        ok = false;
    }
    return ok;
}

void writeTable(FILE* f, const char* name, const double* t) {
    std::fprintf(f, "const double %s[kExciterTableLength] = {\n", name);
    for (int i = 0; i < kLength; ++i)
        std::fprintf(f, "%s%.17g,%s", i % 4 == 0 ? "    " : " ", t[i], i % 4 == 3 || i == kLength - 1 ? "\n" : "");
    std::fprintf(f, "};\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_exciter_tables <output .cpp>\n");
        return 2;
    }
    double a[kLength], b[kLength];
    buildTable('A', a);
    buildTable('B', b);
    const bool okA = verify("A", a, {341, 158, 526});
    const bool okB = verify("B", b, {373, 188, 558});
    if (!okA || !okB) return 1;

    FILE* f = std::fopen(argv[1], "w");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(f,
                 "// Generated by tools/gen_exciter_tables.cpp; edit the generator, not this file.\n"
                 "#include \"kick/ExciterTables.h\"\n\n");
    writeTable(f, "kExciterTableA", a);
    std::fprintf(f, "\n");
    writeTable(f, "kExciterTableB", b);
    const bool written = std::fclose(f) == 0;
    if (!written) std::perror(argv[1]);
    return written ? 0 : 1;
}
