#pragma once
// TRowBlock: rows of a text being put together for one replacement, each with whether a line
// break ends it, so that an empty last row without a break is not lost as in a joined text.

#include <string>
#include <vector>

namespace kestrim {

struct TRowBlock {
    std::vector<std::string> Rows;
    std::vector<bool> Breaks;

    void Add(std::string Row, bool Break)
    {
        Rows.push_back(std::move(Row));
        Breaks.push_back(Break);
    }
    // The rows joined, "\r\n" after each row that ends with a break.
    std::string Text() const
    {
        std::string text;
        for (std::size_t i = 0; i < Rows.size(); ++i) {
            text += Rows[i];
            if (Breaks[i])
                text += "\r\n";
        }
        return text;
    }
};

} // namespace kestrim
