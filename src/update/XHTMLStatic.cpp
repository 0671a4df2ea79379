#include "update/XHTMLStatic.h"

#include "update/XNamedColors.h"

#include <QDesktopServices>
#include <QUrl>

#include <cctype>
#include <map>
#include <vector>

namespace cva::update {

namespace {

QString Escaped(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toHtmlEscaped(); }

std::string Lower(std::string_view text) {
    std::string out;
    for (char c : text) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The tag's name (lower case) and its attributes: name=value, value in double or single
// quotes or bare.
struct STag {
    std::string name;
    std::map<std::string, std::string> attributes;
};

STag ParseTag(std::string_view body) {
    STag tag;
    size_t i = 0;
    auto skipSpace = [&] { while (i < body.size() && std::isspace(static_cast<unsigned char>(body[i]))) ++i; };
    auto word = [&] {
        size_t start = i;
        while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i])) && body[i] != '=') ++i;
        return Lower(body.substr(start, i - start));
    };
    skipSpace();
    tag.name = word();
    while (true) {
        skipSpace();
        if (i >= body.size()) break;
        std::string name = word();
        skipSpace();
        std::string value;
        if (i < body.size() && body[i] == '=') {
            ++i;
            skipSpace();
            if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
                char quote = body[i++];
                size_t end = body.find(quote, i);
                value = std::string(body.substr(i, end == std::string_view::npos ? body.npos : end - i));
                i = end == std::string_view::npos ? body.size() : end + 1;
            } else {
                size_t start = i;
                while (i < body.size() && !std::isspace(static_cast<unsigned char>(body[i]))) ++i;
                value = std::string(body.substr(start, i - start));
            }
        }
        if (name.empty()) ++i;
        else tag.attributes[name] = value;
    }
    return tag;
}

QString ColorValue(const std::string& name) {
    std::optional<uint32_t> rgb = CXNamedColors::Lookup(name);
    return rgb ? QStringLiteral("#%1").arg(*rgb, 6, 16, QLatin1Char('0')) : QString();
}

} // namespace

CXHTMLStatic::CXHTMLStatic(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    setOpenExternalLinks(false);
    setWordWrap(true);
    connect(this, &QLabel::linkActivated, this, [](const QString& target) {
        if (IsOpenableLink(target)) QDesktopServices::openUrl(QUrl(target));
    });
}

void CXHTMLStatic::SetMarkup(const std::string& markup) {
    m_strMarkup = markup;
    setText(ToRichText(markup));
}

bool CXHTMLStatic::IsOpenableLink(const QString& target) {
    const QString scheme = QUrl(target).scheme().toLower();
    return scheme == QLatin1String("https") || scheme == QLatin1String("http") || scheme == QLatin1String("mailto");
}

QString CXHTMLStatic::ToRichText(const std::string& markup) {
    static const std::map<std::string, QString> simple = {
        {"b", "<b>"}, {"/b", "</b>"}, {"i", "<i>"}, {"/i", "</i>"}, {"u", "<u>"}, {"/u", "</u>"},
        {"strike", "<s>"}, {"/strike", "</s>"}, {"/a", "</a>"}, {"br", "<br>"}, {"br/", "<br>"},
    };
    QString out;
    std::vector<bool> fontSpans;  // per open <font>: whether it opened a background span
    size_t i = 0;
    while (i < markup.size()) {
        size_t open = markup.find('<', i);
        size_t close = open == std::string::npos ? open : markup.find('>', open);
        if (open == std::string::npos || close == std::string::npos) {
            out += Escaped(std::string_view(markup).substr(i));
            break;
        }
        out += Escaped(std::string_view(markup).substr(i, open - i));
        const std::string_view body = std::string_view(markup).substr(open + 1, close - open - 1);
        const STag tag = ParseTag(body);
        i = close + 1;
        if (auto found = simple.find(tag.name); found != simple.end()) {
            out += found->second;
        } else if (tag.name == "font") {
            QString font = QStringLiteral("<font");
            auto attribute = [&](const char* name) {
                auto it = tag.attributes.find(name);
                return it == tag.attributes.end() ? std::string() : it->second;
            };
            if (QString color = ColorValue(attribute("color")); !color.isEmpty())
                font += QStringLiteral(" color=\"%1\"").arg(color);
            if (std::string face = attribute("face"); !face.empty())
                font += QStringLiteral(" face=\"%1\"").arg(Escaped(face));
            if (std::string size = attribute("size"); !size.empty())
                font += QStringLiteral(" size=\"%1\"").arg(Escaped(size));
            out += font + QLatin1Char('>');
            const QString background = ColorValue(attribute("bgcolor"));
            if (!background.isEmpty()) out += QStringLiteral("<span style=\"background-color:%1\">").arg(background);
            fontSpans.push_back(!background.isEmpty());
        } else if (tag.name == "/font") {
            if (fontSpans.empty()) continue;
            if (fontSpans.back()) out += QStringLiteral("</span>");
            out += QStringLiteral("</font>");
            fontSpans.pop_back();
        } else if (tag.name == "a") {
            auto href = tag.attributes.find("href");
            out += QStringLiteral("<a href=\"%1\">").arg(href == tag.attributes.end() ? QString() : Escaped(href->second));
        } else {
            out += Escaped(std::string_view(markup).substr(open, close - open + 1));
        }
    }
    return out;
}

} // namespace cva::update
