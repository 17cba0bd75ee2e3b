#include "shell/help_layout.h"

#include <algorithm>

namespace {

// Text of one font and link between two blanks (a word may hold several, as "link." does).
struct Piece {
    int32_t font = HELP_FONT_TEXT;
    int32_t link = -1;
    int32_t linkNumber = -1;
    std::string text;
};

struct Word {
    std::vector<Piece> pieces;
    bool spaceBefore = false;
};

std::vector<Word> SplitWords(const std::vector<HelpSpan>& spans, int32_t plainFont, int32_t& linkCounter)
{
    std::vector<Word> words;
    bool pendingSpace = false;
    for (const HelpSpan& span : spans) {
        const bool isLink = span.link >= 0;
        const int32_t font = isLink ? HELP_FONT_LINK : plainFont;
        const int32_t number = isLink ? linkCounter++ : -1;
        std::string_view text = span.text;
        while (!text.empty()) {
            const size_t blank = text.find(' ');
            const std::string_view segment = text.substr(0, blank);
            if (!segment.empty()) {
                if (words.empty() || pendingSpace) words.push_back({{}, pendingSpace && !words.empty()});
                std::vector<Piece>& pieces = words.back().pieces;
                if (!pieces.empty() && pieces.back().font == font && pieces.back().linkNumber == number)
                    pieces.back().text += segment;
                else
                    pieces.push_back({font, span.link, number, std::string(segment)});
                pendingSpace = false;
            }
            if (blank == std::string_view::npos) break;
            pendingSpace = true;
            text = text.substr(blank + 1);
        }
    }
    return words;
}

class LineFiller {
public:
    LineFiller(HelpLayout& layout, const HelpMetrics& metrics, int32_t left, int32_t right, int32_t& y)
        : layout_(layout), metrics_(metrics), left_(left), right_(right), y_(y), x_(left)
    {
    }

    void Place(const Word& word)
    {
        int32_t wordWidth = 0;
        for (const Piece& piece : word.pieces) wordWidth += Width(piece.font, piece.text);
        int32_t space = word.spaceBefore && x_ > left_ ? Width(word.pieces.front().font, " ") : 0;
        if (x_ > left_ && x_ + space + wordWidth > right_) {
            EndLine();
            space = 0;
        }
        for (size_t k = 0; k < word.pieces.size(); ++k) {
            const Piece& piece = word.pieces[k];
            const int32_t pieceSpace = k == 0 ? space : 0;
            const int32_t w = Width(piece.font, piece.text);
            HelpRun* last = lineRuns_ ? &layout_.runs.back() : nullptr;
            if (last && last->font == piece.font && last->linkNumber == piece.linkNumber &&
                last->x + last->width == x_) {
                // The joined text is measured whole: a device's width of a text need not be the
                // sum of its words' and blanks' widths, and the next run starts where this one
                // is drawn to end.
                last->text += std::string(pieceSpace > 0 ? " " : "") + piece.text;
                last->width = Width(piece.font, last->text);
                x_ = last->x + last->width;
                lineHeight_ = std::max(lineHeight_, metrics_.lineHeight[piece.font]);
                continue;
            }
            HelpRun run;
            run.x = x_ + pieceSpace;
            run.y = y_;
            run.width = w;
            run.font = piece.font;
            run.text = piece.text;
            run.link = piece.link;
            run.linkNumber = piece.linkNumber;
            layout_.runs.push_back(std::move(run));
            ++lineRuns_;
            x_ += pieceSpace + w;
            lineHeight_ = std::max(lineHeight_, metrics_.lineHeight[piece.font]);
        }
    }

    // Closes the line in progress, if any.
    void EndLine()
    {
        if (lineRuns_ == 0) return;
        for (size_t k = layout_.runs.size() - lineRuns_; k < layout_.runs.size(); ++k) layout_.runs[k].height = lineHeight_;
        layout_.width = std::max(layout_.width, x_);
        y_ += lineHeight_;
        x_ = left_;
        lineRuns_ = 0;
        lineHeight_ = 0;
    }

private:
    int32_t Width(int32_t font, std::string_view text) const { return metrics_.width(font, text); }

    HelpLayout& layout_;
    const HelpMetrics& metrics_;
    int32_t left_, right_;
    int32_t& y_;
    int32_t x_;
    size_t lineRuns_ = 0;
    int32_t lineHeight_ = 0;
};

void FillText(HelpLayout& layout, const HelpMetrics& metrics, const std::vector<HelpSpan>& spans, int32_t font,
              int32_t left, int32_t right, int32_t& y, int32_t& linkCounter)
{
    LineFiller filler(layout, metrics, left, right, y);
    for (const Word& word : SplitWords(spans, font, linkCounter)) filler.Place(word);
    filler.EndLine();
}

}  // namespace

HelpLayout LayoutHelpTopic(const HelpTopic& topic, int32_t width, const HelpMetrics& metrics)
{
    HelpLayout layout;
    const int32_t margin = metrics.margin;
    const int32_t right = std::max(width - margin, margin + 1);
    const int32_t gap = metrics.lineHeight[HELP_FONT_TEXT] / 2;
    int32_t y = margin;
    int32_t links = 0;
    FillText(layout, metrics, {{topic.title, -1}}, HELP_FONT_TITLE, margin, right, y, links);
    y += gap;
    for (size_t k = 0; k < topic.blocks.size(); ++k) {
        const HelpBlock& block = topic.blocks[k];
        switch (block.kind) {
        case HELP_HEADING:
            y += gap;
            FillText(layout, metrics, block.spans, HELP_FONT_HEADING, margin, right, y, links);
            break;
        case HELP_BULLET: {
            HelpRun bullet;
            bullet.font = HELP_FONT_TEXT;
            bullet.text = "\xE2\x80\xA2";
            bullet.width = metrics.width(HELP_FONT_TEXT, bullet.text);
            bullet.x = margin + std::max(0, (metrics.indent - bullet.width) / 2);
            bullet.y = y;
            bullet.height = metrics.lineHeight[HELP_FONT_TEXT];
            layout.runs.push_back(std::move(bullet));
            FillText(layout, metrics, block.spans, HELP_FONT_TEXT, margin + metrics.indent,
                     std::max(right, margin + metrics.indent + 1), y, links);
            break;
        }
        case HELP_PREFORMATTED: {
            HelpRun run;
            run.font = HELP_FONT_FIXED;
            run.text = block.spans.empty() ? std::string() : block.spans.front().text;
            run.x = margin;
            run.y = y;
            run.width = metrics.width(HELP_FONT_FIXED, run.text);
            run.height = metrics.lineHeight[HELP_FONT_FIXED];
            layout.width = std::max(layout.width, run.x + run.width);
            y += run.height;
            layout.runs.push_back(std::move(run));
            break;
        }
        case HELP_PARAGRAPH:
        default:
            FillText(layout, metrics, block.spans, HELP_FONT_TEXT, margin, right, y, links);
            break;
        }
        // Lines kept as typed stand together; every other block is followed by a gap.
        const bool nextIsPreformatted = k + 1 < topic.blocks.size() && topic.blocks[k + 1].kind == HELP_PREFORMATTED;
        if (!(block.kind == HELP_PREFORMATTED && nextIsPreformatted)) y += gap;
    }
    layout.width += margin;
    layout.height = y + margin;
    layout.linkCount = links;
    return layout;
}

int32_t HelpLinkAt(const HelpLayout& layout, int32_t x, int32_t y)
{
    for (const HelpRun& run : layout.runs)
        if (run.link >= 0 && x >= run.x && x < run.x + run.width && y >= run.y && y < run.y + run.height)
            return run.linkNumber;
    return -1;
}

int32_t HelpLinkTarget(const HelpLayout& layout, int32_t linkNumber)
{
    for (const HelpRun& run : layout.runs)
        if (run.link >= 0 && run.linkNumber == linkNumber) return run.link;
    return -1;
}

HelpRect HelpLinkBounds(const HelpLayout& layout, int32_t linkNumber)
{
    HelpRect r;
    bool any = false;
    for (const HelpRun& run : layout.runs) {
        if (run.link < 0 || run.linkNumber != linkNumber) continue;
        if (!any) {
            r = {run.x, run.y, run.x + run.width, run.y + run.height};
            any = true;
            continue;
        }
        r.left = std::min(r.left, run.x);
        r.top = std::min(r.top, run.y);
        r.right = std::max(r.right, run.x + run.width);
        r.bottom = std::max(r.bottom, run.y + run.height);
    }
    return r;
}
