#include "shell/plot_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/fortran_format.h"

namespace {

bool HasShownCurve(const PlotRecord& plot, int32_t p)
{
    for (int32_t k = 1; k <= kPlotCurveCount; ++k)
        if (plot.curves[k].shown == 1 && plot.curves[k].panel == p) return true;
    return false;
}

std::string TrimRight(std::string s)
{
    const size_t end = s.find_last_not_of(' ');
    s.erase(end == std::string::npos ? 0 : end + 1);
    return s;
}

std::string TrimLeft(const std::string& s)
{
    const size_t start = s.find_first_not_of(' ');
    return start == std::string::npos ? "" : s.substr(start);
}

// One record written under `format`, without its record end.
std::string Write(const std::string& format, const std::vector<FormatValue>& values)
{
    std::string text = Formatted(format, values);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::string FixedDescriptor(int32_t w, int32_t d)
{
    return "(F" + std::to_string(w) + "." + std::to_string(d) + ")";
}

// t under Fw.d; when w is too narrow for t, the field grows to the width t needs, so a label
// never turns into asterisks. Labels that fit keep their field exactly.
std::string FixedLabel(double t, int32_t w, int32_t d)
{
    std::string text = w >= 1 ? Write(FixedDescriptor(w, d), {t}) : std::string();
    if (!text.empty() && text.find('*') == std::string::npos) return text;
    const int32_t needed = static_cast<int32_t>(TrimLeft(Write(FixedDescriptor(60, d), {t})).size());
    return Write(FixedDescriptor(std::max(w, needed), d), {t});
}

int32_t FloorLog10(double v) { return static_cast<int32_t>(std::floor(std::log10(v))); }

// Labels of ticks of step s are written in exponent form.
bool ExponentStep(double s) { return s > 9999 || s < 0.0001; }

// A label in exponent form and the decimals it shows.
struct ExponentText {
    std::string text;
    int32_t decimals = 0;
};

// Tick t, a multiple of step s, under an E or ES descriptor without an exponent width, as "(ES9.1)".
// An exponent of three digits (values near the ends of the doubles) drops the E there, as in
// "1.5+308": such a label is written with a three-digit exponent field instead, one character
// wider, "1.5E+308". Where the descriptor's decimals would name a different tick (1.5e308 as
// "0.2E+309", a third off), the label takes as many more decimals, and as much more width, as it
// needs to read back within a thousandth of a step of its tick; 17 significant digits read back
// every double, so the search ends there.
ExponentText ExponentLabel(const std::string& descriptor, int32_t width, int32_t decimals, double t, double s)
{
    ExponentText label;
    for (int32_t d = decimals; d <= 17; ++d) {
        const std::string w = std::to_string(width + d - decimals), dd = std::to_string(d);
        label.text = Write("(" + descriptor + w + "." + dd + ")", {t});
        if (label.text.find('E') == std::string::npos)
            label.text = Write("(" + descriptor + std::to_string(width + d - decimals + 1) + "." + dd + "E3)", {t});
        label.decimals = d;
        double shown = 0;
        if (ReadFreeReals(label.text, 1, &shown) == 1 && std::fabs(shown - t) <= s * 1e-3) break;
    }
    return label;
}
}  // namespace

PanelGrid ComputePanelGrid(int32_t width, int32_t height, int32_t n)
{
    n = std::max(n, 1);
    PanelGrid g;
    g.cols = std::min(n, 2);
    g.rows = (n + 1) / 2;
    g.a = width / 60 + 6;
    g.b = width / 30 + 6;
    g.gap = g.a + g.b;
    g.leftMargin = g.b + (g.a / 2) * 8;
    g.plotW = std::max(width / g.cols - g.leftMargin, 1);
    g.plotH = std::max(height / g.rows - g.gap - g.b, 1);
    return g;
}

int32_t LayOutPlot(const PlotRecord& plot, PlotRect rect, int32_t selector, PlotLayout& out)
{
    out = PlotLayout{};
    if (rect.Width() <= 0 || rect.Height() <= 0 || selector < 0 || selector > kPlotPanelCount) return 0;
    int32_t n = 0;
    if (selector == 0) {
        bool anyShown = false;
        for (int32_t k = 1; k <= kPlotCurveCount; ++k) anyShown = anyShown || plot.curves[k].shown == 1;
        if (!anyShown) return 0;
        for (int32_t p = 1; p <= kPlotPanelCount; ++p) n += plot.panels[p].inUse == 1 ? 1 : 0;
    } else {
        n = plot.panels[selector].inUse == 1 ? 1 : 0;
    }
    if (n == 0) return 0;

    out.grid = ComputePanelGrid(rect.Width(), rect.Height(), n);
    const PanelGrid& g = out.grid;
    int32_t m = 0;
    for (int32_t p = 1; p <= kPlotPanelCount; ++p) {
        const bool selected = selector == 0 ? plot.panels[p].inUse == 1 : p == selector;
        if (!selected || !HasShownCurve(plot, p)) continue;
        LaidOutPanel cell;
        cell.panel = p;
        cell.rect.left = rect.left + g.leftMargin + (m % 2) * (g.plotW + g.leftMargin);
        cell.rect.top = rect.top + g.b + (m / 2) * (g.plotH + g.gap + g.b);
        cell.rect.right = cell.rect.left + g.plotW;
        cell.rect.bottom = cell.rect.top + g.plotH;
        out.panels.push_back(cell);
        ++m;
    }
    return 1;
}

namespace {

// (max - min) / pixels, from halves when the span of limits near both ends of the doubles
// overflows (the mouse position over such a plot would otherwise read as infinite).
double PerPixel(double min, double max, int32_t pixels)
{
    const double span = max - min;
    return std::isfinite(span) ? span / pixels : (max / 2 - min / 2) / pixels * 2;
}

}  // namespace

void StorePanelMappings(PlotRecord& plot, const PlotLayout& layout)
{
    for (const LaidOutPanel& cell : layout.panels) {
        PlotPanel& panel = plot.panels[cell.panel];
        panel.xPerPixel = PerPixel(panel.xMin, panel.xMax, cell.rect.Width());
        if (panel.xPerPixel == 0) {
            panel.xPerPixel = 1;
            panel.xOrigin = 1;
        } else {
            panel.xOrigin = ClampPixel(cell.rect.left - panel.xMin / panel.xPerPixel);
        }
        panel.yPerPixel = PerPixel(panel.yMin, panel.yMax, cell.rect.Height());
        if (panel.yPerPixel == 0) {
            panel.yPerPixel = 1;
            panel.yOrigin = 1;
        } else {
            panel.yOrigin = ClampPixel(cell.rect.top + panel.yMax / panel.yPerPixel);
        }
    }
}

int32_t PanelAt(const PlotLayout& layout, int32_t x, int32_t y)
{
    for (const LaidOutPanel& cell : layout.panels)
        if (x >= cell.rect.left && x < cell.rect.right && y >= cell.rect.top && y < cell.rect.bottom)
            return cell.panel;
    return 0;
}

int32_t ClampPixel(double v)
{
    if (std::isnan(v)) return 0;
    const double limit = kPixelLimit;
    return static_cast<int32_t>(std::trunc(std::clamp(v, -limit, limit)));
}

namespace {

// (a - b) / (max - min): the fraction of the span; from halves (exact) when the span of limits
// near the largest double overflows.
double Fraction(double a, double b, double min, double max)
{
    const double span = max - min;
    return std::isfinite(span) ? (a - b) / span : (a / 2 - b / 2) / (max / 2 - min / 2);
}

}  // namespace

int32_t PanelMapping::X(double x) const
{
    return ClampPixel(rect.left + std::trunc(Fraction(x, xMin, xMin, xMax) * rect.Width()));
}

int32_t PanelMapping::Y(double y) const
{
    return ClampPixel(rect.top + std::trunc(Fraction(yMax, y, yMin, yMax) * rect.Height()));
}

int32_t PanelMapping::ZeroRow() const { return Y(0.0); }

PanelMapping MapPanel(const PlotPanel& panel, PlotRect rect)
{
    PanelMapping m;
    m.rect = rect;
    m.xMin = panel.xMin;
    m.xMax = panel.xMax == panel.xMin ? panel.xMin + 1 : panel.xMax;
    m.yMin = panel.yMin;
    m.yMax = panel.yMax == panel.yMin ? panel.yMin + 1 : panel.yMax;
    return m;
}

namespace {

// floor((max - min) / s), from halves (exact) when the span of limits near both ends of the
// double range overflows.
double StepsInSpan(double min, double max, double s)
{
    const double span = max - min;
    return std::isfinite(span) ? std::floor(span / s) : std::floor((max / 2 - min / 2) / (s / 2));
}

}  // namespace

double TickStep(double min, double max)
{
    if (!std::isfinite(min) || !std::isfinite(max) || !(max > min)) return 0;
    const double span = max - min;
    // log10 of a span beyond the doubles, from its half.
    const double decade = std::isfinite(span) ? std::log10(span) : std::log10(max / 2 - min / 2) + std::log10(2.0);
    double s = std::pow(10.0, std::floor(decade));
    if (StepsInSpan(min, max, s) <= 4) s *= 0.5;
    if (StepsInSpan(min, max, s) <= 4) s *= 0.4;
    return s;
}

std::vector<double> TickValues(double min, double max, double step)
{
    std::vector<double> ticks;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(min) || !std::isfinite(max)) return ticks;
    // Ticks are k*s for whole k, so zero comes out exactly zero and a step below the rounding
    // unit of min cannot stall the loop.
    double k0 = std::floor(min / step) + 1;
    if ((k0 - 1) * step == min) k0 -= 1;
    for (int32_t i = 0; i < kMaxTicks; ++i) {
        const double t = (k0 + i) * step;
        if (!(t < max)) break;
        ticks.push_back(t == 0 ? 0.0 : t);
    }
    return ticks;
}

std::string YAxisLabel(double t, double s)
{
    if (ExponentStep(s)) return TrimRight(ExponentLabel("ES", 9, 1, t, s).text);
    if (s >= 1) return TrimRight(FixedLabel(t, FloorLog10(s) + 4, 0));
    const int32_t k = static_cast<int32_t>(std::floor(std::fabs(std::log10(s)))) + 5;
    return TrimRight(FixedLabel(t, k + 1, k - 3));
}

std::string XAxisLabel(double t, double s)
{
    if (ExponentStep(s)) return TrimRight(ExponentLabel("E", 12, 1, t, s).text);
    if (s < 1) {
        const int32_t k = static_cast<int32_t>(std::floor(std::fabs(std::log10(s)))) + 4;
        return TrimRight(FixedLabel(t, k + 1, k - 3));
    }
    // Beyond the range of whole numbers a tick keeps its real form.
    // (A long long holds whole numbers up to 9.2e18 only.)
    if (std::fabs(t) >= 1e18) return TrimRight(ExponentLabel("E", 12, 1, t, s).text);
    const long long n = std::llround(t);  // halves away from zero
    if (n == 0) return Write("(I1)", {0});
    int32_t w = FloorLog10(std::fabs(t)) + 1 + (t < 0 ? 2 : 0);
    const int32_t needed = static_cast<int32_t>(FreeFormatInt(n).size());
    if (w < needed) w = needed;
    return TrimRight(Write("(I" + std::to_string(w) + ")", {n}));
}

namespace {

// The digits of an x label as the rule for labelling every other tick counts them: those of a
// whole number of step s, floor(log10 s) + 1; for labels in exponent form the digits of their
// mantissa, which is all they show (a step near 1e308 would otherwise count 308 digits, and a
// histogram of extreme values would lose half its labels).
double XLabelDigits(const std::vector<double>& ticks, double s)
{
    if (!ExponentStep(s)) return std::floor(std::log10(s)) + 1;
    int32_t digits = 1;
    for (double t : ticks) digits = std::max(digits, ExponentLabel("E", 12, 1, t, s).decimals);
    return digits;
}

}  // namespace

int32_t LayOutPanelAxes(const PlotPanel& panel, PlotRect rect, PanelAxes& out)
{
    out = PanelAxes{};
    if (panel.inUse != 1 || panel.xMax == panel.xMin || panel.yMax == panel.yMin) return 0;
    const int32_t w = rect.Width(), h = rect.Height();
    const PanelMapping map = MapPanel(panel, rect);
    out.yTickLength = w / 40;
    out.xTickLength = h / 40;
    // Below 11 pixels the labels of a small panel (a dialog's preview) cannot be read; those that
    // then do not fit are left out when they are drawn.
    out.fontHeight = std::max(h / 40 + 6, kMinLabelFontHeight);

    const double sy = TickStep(panel.yMin, panel.yMax);
    const bool everyOtherY = sy > 0 && 7 * StepsInSpan(panel.yMin, panel.yMax, sy) >= h * 0.5;
    int32_t i = 0;
    for (double t : TickValues(panel.yMin, panel.yMax, sy)) {
        AxisTick tick{t, map.Y(t), ""};
        if (!everyOtherY || i % 2 == 0) tick.label = YAxisLabel(t, sy);
        out.y.push_back(tick);
        ++i;
    }

    const double sx = TickStep(panel.xMin, panel.xMax);
    const std::vector<double> xTicks = TickValues(panel.xMin, panel.xMax, sx);
    const bool everyOtherX = sx > 0 && XLabelDigits(xTicks, sx) * StepsInSpan(panel.xMin, panel.xMax, sx) >= 20;
    i = 0;
    for (double t : xTicks) {
        AxisTick tick{t, map.X(t), ""};
        if (!everyOtherX || i % 2 == 0) tick.label = XAxisLabel(t, sx);
        out.x.push_back(tick);
        ++i;
    }
    return 1;
}

bool LabelFits(const PlotRect& box, const PlotRect& bounds, const PlotRect* previous, int32_t gap)
{
    if (box.left < bounds.left || box.top < bounds.top || box.right > bounds.right || box.bottom > bounds.bottom)
        return false;
    if (!previous) return true;
    return box.right + gap <= previous->left || box.left >= previous->right + gap || box.bottom <= previous->top ||
           box.top >= previous->bottom;
}

namespace {

// The text drawn for a tick's label. A y label ends at its tick, so its leading blanks would only
// take room at its left, where a narrow window has none to spare: they are left out.
std::string DrawnText(const AxisTick& tick, bool yAxis) { return yAxis ? TrimLeft(tick.label) : tick.label; }

// Where the label of `tick` goes in a panel drawn in `rect`: a y label ends yTickLength left of the
// frame, centred on its tick; an x label is centred on its tick, xTickLength below the frame.
PlotRect LabelBox(const AxisTick& tick, bool yAxis, const PanelAxes& axes, const PlotRect& rect, LabelSize size)
{
    const int32_t x = yAxis ? rect.left - axes.yTickLength - size.width : tick.pixel - size.width / 2;
    const int32_t y = yAxis ? tick.pixel - size.height / 2 : rect.bottom + axes.xTickLength;
    return PlotRect{x, y, x + size.width, y + size.height};
}

// The first and last labelled ticks of an axis (the same tick twice when it has one label); none
// when no tick is labelled.
std::vector<const AxisTick*> EndTicks(const std::vector<AxisTick>& ticks)
{
    const AxisTick* first = nullptr;
    const AxisTick* last = nullptr;
    for (const AxisTick& tick : ticks) {
        if (tick.label.empty()) continue;
        if (!first) first = &tick;
        last = &tick;
    }
    if (!first) return {};
    return {first, last};
}

}  // namespace

int32_t LabelFontHeight(const PanelAxes& axes, const PlotRect& rect, const PlotRect& bounds, const LabelMeasure& measure)
{
    for (int32_t height = axes.fontHeight; height >= kSmallestLabelFontHeight; --height) {
        const int32_t gap = std::max<int32_t>(1, measure(" ", height).width);
        bool fit = true;
        for (const bool yAxis : {true, false}) {
            const std::vector<const AxisTick*> ends = EndTicks(yAxis ? axes.y : axes.x);
            std::vector<PlotRect> boxes;
            for (const AxisTick* tick : ends)
                boxes.push_back(LabelBox(*tick, yAxis, axes, rect, measure(DrawnText(*tick, yAxis), height)));
            for (size_t k = 0; k < boxes.size(); ++k)
                fit = fit && LabelFits(boxes[k], bounds, k > 0 && ends[k] != ends[0] ? &boxes[0] : nullptr, gap);
        }
        if (fit) return height;
    }
    return axes.fontHeight;
}

int32_t TitleFontHeight(const PanelGrid& grid, int32_t h) { return std::min(h / 20 + 6, grid.b - 2); }

PlotRect PlotWindowDrawRect(const PlotRecord& plot, const PlotRect& client, const LabelMeasure& measure)
{
    PlotRect r{client.left + 10 - 25, client.top, client.right - 10 - 25, client.bottom};
    // Each pass lays the plot out and moves or narrows the rectangle by what its end labels lack.
    // The margins and fonts follow the rectangle's size, so a narrowed one is laid out again.
    for (int pass = 0; pass < 8; ++pass) {
        PlotLayout layout;
        if (!LayOutPlot(plot, r, 0, layout)) break;
        // The extent of the end labels alone.
        int32_t left = INT32_MAX, right = INT32_MIN, top = INT32_MAX, bottom = INT32_MIN;
        for (const LaidOutPanel& cell : layout.panels) {
            PanelAxes axes;
            if (!LayOutPanelAxes(plot.panels[cell.panel], cell.rect, axes)) continue;
            for (const bool yAxis : {true, false}) {
                for (const AxisTick* tick : EndTicks(yAxis ? axes.y : axes.x)) {
                    const PlotRect box =
                        LabelBox(*tick, yAxis, axes, cell.rect, measure(DrawnText(*tick, yAxis), axes.fontHeight));
                    left = std::min(left, box.left);
                    right = std::max(right, box.right);
                    top = std::min(top, box.top);
                    bottom = std::max(bottom, box.bottom);
                }
            }
        }
        if (left > right) break;  // no label at all
        const int32_t leftShort = client.left - left, rightShort = right - client.right;
        const int32_t topShort = client.top - top, bottomShort = bottom - client.bottom;
        if (leftShort <= 0 && rightShort <= 0 && topShort <= 0 && bottomShort <= 0) break;
        PlotRect next = r;
        if (leftShort > 0) {
            // Moved right as far as the right edge keeps 10 units in and the labels at the right
            // keep inside, narrowed by the rest.
            const int32_t room = client.right - std::max(r.right + 10, right);
            next.left += leftShort;
            next.right += std::clamp(room, 0, leftShort);
        }
        if (rightShort > 0) next.right -= rightShort;
        if (topShort > 0) next.top += topShort;
        if (bottomShort > 0) next.bottom -= bottomShort;
        if (next.Width() < 1 || next.Height() < 1) break;
        r = next;
    }
    return r;
}

std::vector<PlacedLabel> PlaceAxisLabels(const PanelAxes& axes, const PlotRect& rect, const PlotRect& bounds,
                                         const std::function<LabelSize(const std::string&)>& measure)
{
    // Neighbours keep at least a blank between them.
    const int32_t gap = std::max<int32_t>(1, measure(" ").width);
    std::vector<PlacedLabel> placed;
    const auto placeAxis = [&](const std::vector<AxisTick>& ticks, bool yAxis) {
        std::vector<PlacedLabel> labels;  // every labelled tick, in tick order
        for (const AxisTick& tick : ticks) {
            if (tick.label.empty()) continue;
            const std::string text = DrawnText(tick, yAxis);
            labels.push_back(PlacedLabel{text, LabelBox(tick, yAxis, axes, rect, measure(text))});
        }
        if (labels.empty()) return;
        const size_t last = labels.size() - 1;
        std::vector<bool> kept(labels.size(), false);
        kept[0] = LabelFits(labels[0].box, bounds, nullptr, gap);
        if (last > 0) kept[last] = LabelFits(labels[last].box, bounds, kept[0] ? &labels[0].box : nullptr, gap);
        // Between the ends, each label clear of the one kept before it and of the last.
        const PlotRect* previous = kept[0] ? &labels[0].box : nullptr;
        const PlotRect* end = last > 0 && kept[last] ? &labels[last].box : nullptr;
        for (size_t i = 1; i < last; ++i) {
            if (!LabelFits(labels[i].box, bounds, previous, gap) || (end && !LabelFits(labels[i].box, bounds, end, gap)))
                continue;
            kept[i] = true;
            previous = &labels[i].box;
        }
        for (size_t i = 0; i < labels.size(); ++i)
            if (kept[i]) placed.push_back(labels[i]);
    };
    placeAxis(axes.y, true);
    placeAxis(axes.x, false);
    return placed;
}

PlotRect PlaceInsideClient(const PlotRect& window, int32_t clientW, int32_t clientH)
{
    const int32_t w = std::max(0, std::min(window.Width(), clientW));
    const int32_t h = std::max(0, std::min(window.Height(), clientH));
    const int32_t left = std::max(0, std::min(window.left, clientW - w));
    const int32_t top = std::max(0, std::min(window.top, clientH - h));
    return PlotRect{left, top, left + w, top + h};
}
