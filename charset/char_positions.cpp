#include "charset/char_positions.h"

#include <array>
#include <cstring>

namespace glyfor {

void CharWalker::feed(const unsigned char* data, std::size_t size) {
    // An empty block may come without any bytes to point at.
    if (ended_ || size == 0) return;
    if (const void* stop = std::memchr(data, kEndOfText, size); stop != nullptr) {
        ended_ = true;
        size = static_cast<std::size_t>(static_cast<const unsigned char*>(stop) - data);
    }
    block_ = data;
    counted_ = data;
    if (mode_ == WalkMode::kPlain) {
        walk_plain(data, data + size);
    } else {
        lexer_.lex(data, data + size, *this);
    }
    advance_to(data + size);
    block_offset_ += size;
    block_ = nullptr;
    counted_ = nullptr;
}

void CharWalker::advance_to(const unsigned char* p) {
    while (counted_ < p) {
        const void* lf = std::memchr(counted_, '\n', static_cast<std::size_t>(p - counted_));
        if (lf == nullptr) {
            counted_ = p;
            return;
        }
        counted_ = static_cast<const unsigned char*>(lf) + 1;
        ++line_;
        line_offset_ = block_offset_ + static_cast<std::uint64_t>(counted_ - block_);
    }
}

std::uint64_t CharWalker::col_of(const unsigned char* p) const {
    return block_offset_ + static_cast<std::uint64_t>(p - block_) - line_offset_ + 1;
}

void CharWalker::report(unsigned char lead, unsigned char trail, std::uint64_t line,
                        std::uint64_t col) {
    const CharPosition character{static_cast<SjisCode>(lead << 8 | trail), is_lead_byte(lead), line,
                                 col};
    visitor_.visit(visitor_.context, character);
}

// Pairs as the plain scan does: an accepted lead byte takes the next byte whatever it is.
void CharWalker::walk_plain(const unsigned char* p, const unsigned char* const end) {
    if (p == end) return;
    if (pending_lead_ != kNoLead) {
        const auto lead = static_cast<unsigned char>(pending_lead_);
        pending_lead_ = kNoLead;
        if (is_trail_byte(*p)) report(lead, *p, pending_line_, pending_col_);
        if (is_lead_byte(lead) || (is_trail_byte(*p) && !is_lead_byte(*p))) ++p;
    }
    while (p < end) {
        const unsigned char lead = *p;
        if ((kLexClass[lead] & kLexLead) == 0) {
            ++p;
            continue;
        }
        advance_to(p);
        if (p + 1 == end) {
            pending_lead_ = lead;
            pending_line_ = line_;
            pending_col_ = col_of(p);
            return;
        }
        const unsigned char trail = p[1];
        if (is_trail_byte(trail)) report(lead, trail, line_, col_of(p));
        p += is_lead_byte(lead) || (is_trail_byte(trail) && !is_lead_byte(trail)) ? 2 : 1;
    }
}

void CharWalker::literal(const unsigned char* p, const unsigned char* const end) {
    if (pending_lead_ != kNoLead) {
        // The run that continues the literal whose last run ended the previous block.
        const auto lead = static_cast<unsigned char>(pending_lead_);
        pending_lead_ = kNoLead;
        if (is_trail_byte(*p)) {
            report(lead, *p, pending_line_, pending_col_);
            ++p;
        }
    }
    while (p < end) {
        const unsigned char lead = *p;
        if (!is_lead_byte(lead)) {
            ++p;
            continue;
        }
        advance_to(p);
        if (p + 1 == end) {
            pending_lead_ = lead;
            pending_line_ = line_;
            pending_col_ = col_of(p);
            return;
        }
        if (!is_trail_byte(p[1])) {
            ++p;
            continue;
        }
        report(lead, p[1], line_, col_of(p));
        p += 2;
    }
}

void CharWalker::user_defined(unsigned char lead, const unsigned char* trail) {
    // The lead byte is on the trail byte's line, right before it, even when it ended the
    // previous block.
    advance_to(trail);
    report(lead, *trail, line_, col_of(trail) - 1);
}

}  // namespace glyfor
