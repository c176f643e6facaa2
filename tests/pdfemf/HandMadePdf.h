#pragma once

// PDFs written by hand for the writer's unit tests: a page of content (PDF operators) over named
// resources, so that a test says exactly what the page holds without an office.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <vector>

namespace quillet::testing {

class HandMadePdf
{
public:
    // A page of width x height points; `resources` is the page's resource dictionary's body,
    // referring to objects added with addObject() as "N 0 R".
    HandMadePdf(double width, double height) : m_width(width), m_height(height) {}

    // Adds an indirect object (its body: a dictionary, or a dictionary with a stream); returns its number.
    int addObject(const QByteArray& body)
    {
        m_objects.push_back(body);
        return int(m_objects.size()) + 3; // 1 catalog, 2 pages, 3 page
    }
    static QByteArray stream(const QByteArray& dictionary, const QByteArray& data)
    {
        return "<<" + dictionary + " /Length " + QByteArray::number(data.size()) + ">>\nstream\n" + data +
               "\nendstream";
    }
    QByteArray bytes(const QByteArray& resources, const QByteArray& content) const
    {
        std::vector<QByteArray> objects{
            "<</Type /Catalog /Pages 2 0 R>>", "<</Type /Pages /Kids [3 0 R] /Count 1>>",
            "<</Type /Page /Parent 2 0 R /MediaBox [0 0 " + QByteArray::number(m_width) + " " +
                QByteArray::number(m_height) + "] /Resources <<" + resources + ">> /Contents " +
                QByteArray::number(int(m_objects.size()) + 4) + " 0 R>>"};
        objects.insert(objects.end(), m_objects.begin(), m_objects.end());
        objects.push_back(stream({}, content));
        QByteArray pdf = "%PDF-1.7\n";
        std::vector<qsizetype> offsets;
        for (size_t i = 0; i < objects.size(); ++i) {
            offsets.push_back(pdf.size());
            pdf += QByteArray::number(int(i) + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
        }
        const qsizetype xref = pdf.size();
        pdf += "xref\n0 " + QByteArray::number(int(objects.size()) + 1) + "\n0000000000 65535 f \n";
        for (qsizetype offset : offsets)
            pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        pdf += "trailer\n<</Size " + QByteArray::number(int(objects.size()) + 1) +
               " /Root 1 0 R>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return pdf;
    }
    bool save(const QString& path, const QByteArray& resources, const QByteArray& content) const
    {
        QFile file(path);
        const QByteArray data = bytes(resources, content);
        return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
    }

private:
    double m_width, m_height;
    std::vector<QByteArray> m_objects;
};

} // namespace quillet::testing
