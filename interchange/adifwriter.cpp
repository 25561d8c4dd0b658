// SPDX-License-Identifier: GPL-3.0-or-later
#include "interchange/adifwriter.h"

#include "text/text.h"

#include <pugixml.hpp>

#include <algorithm>

namespace ondelog {

namespace {

void appendAdiField(std::string &out, const AdifField &field)
{
    out += '<';
    out += field.name;
    out += ':';
    out += std::to_string(field.value.size());
    out += '>';
    out += field.value;
}

class StringWriter : public pugi::xml_writer
{
  public:
    explicit StringWriter(std::string &out) : m_out(out) {}
    void write(const void *data, size_t size) override
    {
        m_out.append(static_cast<const char *>(data), size);
    }

  private:
    std::string &m_out;
};

// Our application fields, APP_ONDELOG_X, take ADX's own form for them.
void appendAdxField(pugi::xml_node parent, const AdifField &field)
{
    constexpr std::string_view app = "APP_ONDELOG_";
    pugi::xml_node node;
    if (field.name.starts_with(app)) {
        node = parent.append_child("APP");
        node.append_attribute("PROGRAMID") = "ONDELOG";
        node.append_attribute("FIELDNAME") = field.name.substr(app.size()).c_str();
        node.append_attribute("TYPE") = "S";
    } else {
        node = parent.append_child(field.name.c_str());
    }
    // XML 1.0 has no character for a control byte, not even as "&#12;": a file
    // holding one is refused whole by every XML reader. Our import would make
    // it a blank all the same, so the blank goes out in its place.
    std::string value = field.value;
    std::replace_if(value.begin(), value.end(), isControlByte, ' ');
    node.text() = value.c_str();
}

void appendAdx(std::string &out, const char *element, const std::vector<AdifField> &fields,
               const char *indent, int depth)
{
    pugi::xml_document doc;
    pugi::xml_node node = doc.append_child(element);
    for (const AdifField &f : fields)
        appendAdxField(node, f);
    StringWriter writer(out);
    node.print(writer, indent, pugi::format_indent | pugi::format_no_declaration,
               pugi::encoding_utf8, static_cast<unsigned>(depth));
}

} // namespace

std::vector<AdifField> exportHeader(const std::string &createdTimestamp)
{
    return {{"ADIF_VER", "3.1.4"},
            {"PROGRAMID", "Ondelog"},
            {"PROGRAMVERSION", ONDELOG_VERSION},
            {"CREATED_TIMESTAMP", createdTimestamp}};
}

void appendAdifHeader(std::string &out, const std::vector<AdifField> &header, AdifFormat format)
{
    if (format == AdifFormat::Adi) {
        out += "Journal de trafic exporte par Ondelog\r\n";
        for (const AdifField &f : header) {
            appendAdiField(out, f);
            out += "\r\n";
        }
        out += "<EOH>\r\n";
        return;
    }
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX>\n";
    appendAdx(out, "HEADER", header, "  ", 1);
    out += "  <RECORDS>\n";
}

void appendAdifRecord(std::string &out, const std::vector<AdifField> &fields, AdifFormat format)
{
    if (format == AdifFormat::Adi) {
        // The blank after each value tells our reader that an "<eor>" inside
        // a contact's text is text: its length, not the tag, ends the value.
        for (const AdifField &f : fields) {
            appendAdiField(out, f);
            out += ' ';
        }
        out += "<EOR>\r\n";
        return;
    }
    appendAdx(out, "RECORD", fields, "  ", 2);
}

void appendAdifFooter(std::string &out, AdifFormat format)
{
    if (format == AdifFormat::Adx)
        out += "  </RECORDS>\n</ADX>\n";
}

} // namespace ondelog
