#include "platform/xaml/markup/markup.h"

#include "platform/foundation/application_folder.h"
#include "platform/foundation/utf.h"
#include "platform/xaml/core/UIElement.h"
#include "platform/xaml/markup/markup_builder.h"
#include "platform/xaml/core/qt_bridge.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace xaml {

namespace markup_detail {

namespace {

[[noreturn]] void file_error(int error, const hstring& path, std::u16string_view what)
{
    throw foundation::hresult_error(foundation::hresult_from_errno(error),
                                    hstring(what) + path + u": " + foundation::utf::utf8_to_utf16(std::strerror(error)));
}

std::string read_file(const hstring& path)
{
    const std::string narrow = foundation::to_narrow(path);
    const int fd = ::open(narrow.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) file_error(errno, path, u"Cannot open the markup file ");
    struct closer {
        int fd;
        ~closer() { ::close(fd); }
    } close_at_end{fd};

    struct stat info {};
    if (::fstat(fd, &info) != 0) file_error(errno, path, u"Cannot read the markup file ");
    if (!S_ISREG(info.st_mode)) file_error(EISDIR, path, u"Cannot read the markup file ");

    std::string bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            file_error(errno, path, u"Cannot read the markup file ");
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

// Line numbers of character offsets of the decoded text.
class line_index {
public:
    explicit line_index(const QString& text)
    {
        for (qsizetype i = 0; i < text.size(); ++i)
            if (text[i] == u'\n') m_breaks.push_back(i);
    }
    int line_of(qsizetype offset) const
    {
        return static_cast<int>(std::lower_bound(m_breaks.begin(), m_breaks.end(), offset) - m_breaks.begin()) + 1;
    }

private:
    std::vector<qsizetype> m_breaks;
};

bool is_space(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// The line of an attribute inside a start tag, which may span several lines.
int attribute_line(const QString& text, const line_index& lines, qsizetype tagStart, qsizetype tagEnd,
                   const QString& qualifiedName, int fallback)
{
    for (qsizetype at = text.indexOf(qualifiedName, tagStart); at >= 0 && at < tagEnd;
         at = text.indexOf(qualifiedName, at + 1)) {
        if (at == 0 || !is_space(text[at - 1])) continue;
        qsizetype after = at + qualifiedName.size();
        while (after < tagEnd && is_space(text[after])) ++after;
        if (after < tagEnd && text[after] == u'=') return lines.line_of(at);
    }
    return fallback;
}

}  // namespace

std::shared_ptr<const document> read_document(const hstring& path)
{
    std::string bytes = read_file(path);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    foundation::utf::result_flags flags;
    const std::u16string decoded = foundation::utf::utf8_to_utf16(bytes, &flags);
    auto located = [&](int line, std::u16string_view message) {
        return foundation::hresult_error(E_XAMLPARSEFAILED, path + u":" + foundation::to_hstring(line) + u": " + message);
    };
    if (flags.replaced) throw located(1, u"the file is not valid UTF-8");

    const QString text = to_qstring(decoded);
    const line_index lines(text);
    QXmlStreamReader reader(text);
    std::vector<std::shared_ptr<node>> open;
    node_ptr root;
    qsizetype previousEnd = 0;
    auto no_namespaces = std::make_shared<const std::map<hstring, hstring>>();

    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        const qsizetype tokenEnd = reader.characterOffset();
        switch (token) {
        case QXmlStreamReader::StartElement: {
            auto element = std::make_shared<node>();
            element->ns = from_qstring(reader.namespaceUri().toString());
            element->name = from_qstring(reader.name().toString());
            const qsizetype tagStart = std::max<qsizetype>(0, text.lastIndexOf(u'<', tokenEnd - 1));
            element->line = lines.line_of(tagStart);

            const auto& inherited = open.empty() ? no_namespaces : open.back()->namespaces;
            const auto declarations = reader.namespaceDeclarations();
            if (declarations.isEmpty()) {
                element->namespaces = inherited;
            } else {
                auto scope = std::make_shared<std::map<hstring, hstring>>(*inherited);
                for (const auto& d : declarations)
                    (*scope)[from_qstring(d.prefix().toString())] = from_qstring(d.namespaceUri().toString());
                element->namespaces = std::move(scope);
            }

            for (const auto& a : reader.attributes()) {
                const QString qualified = a.qualifiedName().toString();
                if (qualified == u"xmlns" || qualified.startsWith(u"xmlns:")) continue;
                element->attributes.push_back({from_qstring(a.namespaceUri().toString()), from_qstring(a.name().toString()),
                                               from_qstring(a.value().toString()),
                                               attribute_line(text, lines, tagStart, tokenEnd, qualified, element->line)});
            }

            if (open.empty()) {
                if (root) throw located(element->line, u"a markup file has one root element");
                root = element;
            } else {
                open.back()->children.push_back({element, {}, element->line});
            }
            open.push_back(std::move(element));
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!open.empty()) open.pop_back();
            break;
        case QXmlStreamReader::Characters: {
            if (open.empty()) break;
            const QString piece = reader.text().toString();
            qsizetype lead = 0;
            while (lead < piece.size() && is_space(piece[lead])) ++lead;
            auto& children = open.back()->children;
            if (!children.empty() && !children.back().element) {
                children.back().text = children.back().text + from_qstring(piece);
            } else {
                children.push_back({nullptr, from_qstring(piece), lines.line_of(previousEnd + lead)});
            }
            break;
        }
        case QXmlStreamReader::DTD:
            throw located(lines.line_of(previousEnd), u"markup files take no document type declaration");
        case QXmlStreamReader::EntityReference:
            throw located(lines.line_of(previousEnd), u"unknown entity &" + from_qstring(reader.name().toString()) + u";");
        default:
            break;
        }
        previousEnd = tokenEnd;
    }
    if (reader.hasError())
        throw located(static_cast<int>(reader.lineNumber()), u"XML error: " + from_qstring(reader.errorString()));
    if (!root) throw located(1, u"the file has no root element");
    return std::make_shared<const document>(document{path, root});
}

void throw_located(const document& doc, const markup_error& error)
{
    hstring message = doc.path + u":" + foundation::to_hstring(error.line) + u": " + error.message;
    using namespace foundation;
    switch (error.code) {
    case E_NOINTERFACE: throw hresult_no_interface(std::move(message));
    case E_BOUNDS: throw hresult_out_of_bounds(std::move(message));
    case E_INVALIDARG: throw hresult_invalid_argument(std::move(message));
    case E_NOTIMPL: throw hresult_not_implemented(std::move(message));
    case E_ILLEGAL_METHOD_CALL: throw hresult_illegal_method_call(std::move(message));
    case RPC_E_WRONG_THREAD: throw hresult_wrong_thread(std::move(message));
    case CLASS_E_CLASSNOTAVAILABLE: throw hresult_class_not_available(std::move(message));
    case HRESULT_ERROR_CANCELLED: throw hresult_canceled(std::move(message));
    default: throw hresult_error(error.code, std::move(message));
    }
}

}  // namespace markup_detail

void load_component(const IInspectable& component, const hstring& uri)
{
    if (!component) throw foundation::hresult_invalid_argument(u"Markup is loaded into a component, not into null");
    const auto path = resolve_app_uri(uri);
    const auto doc = markup_detail::read_document(foundation::utf::utf8_to_utf16(path.string()));
    markup_detail::builder builder(doc, component, foundation::try_as<FrameworkElement>(component));
    try {
        builder.build_into(component, *doc->root);
        builder.finish();
        if (auto connector = foundation::try_as<IComponentConnector>(component)) builder.connect(connector);
    } catch (const markup_detail::markup_error& error) {
        markup_detail::throw_located(*doc, error);
    }
}

}  // namespace xaml
