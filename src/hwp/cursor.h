// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace verbana::hwp {

// Little-endian reads from a byte span. Every read checks the data left; a
// read past the end fails and leaves the cursor failed, so a parser can
// read a whole structure and test once.
class Cursor {
public:
    explicit Cursor(QByteArrayView data) : data_(data) {}

    qsizetype pos() const { return pos_; }
    qsizetype left() const { return data_.size() - pos_; }
    bool failed() const { return failed_; }
    bool atEnd() const { return pos_ >= data_.size(); }

    bool skip(qint64 n)
    {
        if (failed_ || n < 0 || n > left())
            return fail();
        pos_ += static_cast<qsizetype>(n);
        return true;
    }
    // The next n bytes, or an empty span (and a failed cursor) if fewer are left.
    QByteArrayView take(qint64 n)
    {
        if (failed_ || n < 0 || n > left()) {
            fail();
            return {};
        }
        QByteArrayView v = data_.sliced(pos_, static_cast<qsizetype>(n));
        pos_ += static_cast<qsizetype>(n);
        return v;
    }
    quint8 u8()
    {
        if (failed_ || left() < 1)
            return fail(), 0;
        return static_cast<quint8>(data_[pos_++]);
    }
    quint16 u16()
    {
        if (failed_ || left() < 2)
            return fail(), 0;
        const quint16 v = static_cast<quint16>(at(pos_) | (at(pos_ + 1) << 8));
        pos_ += 2;
        return v;
    }
    quint32 u32()
    {
        if (failed_ || left() < 4)
            return fail(), 0;
        const quint32 v = static_cast<quint32>(at(pos_)) | (static_cast<quint32>(at(pos_ + 1)) << 8)
                          | (static_cast<quint32>(at(pos_ + 2)) << 16) | (static_cast<quint32>(at(pos_ + 3)) << 24);
        pos_ += 4;
        return v;
    }

private:
    bool fail()
    {
        failed_ = true;
        return false;
    }
    unsigned at(qsizetype i) const { return static_cast<unsigned char>(data_[i]); }

    QByteArrayView data_;
    qsizetype pos_ = 0;
    bool failed_ = false;
};

// Little-endian values at a fixed offset; the caller has checked the bounds.
inline quint16 le16(QByteArrayView d, qsizetype at)
{
    return static_cast<quint16>(static_cast<unsigned char>(d[at]) | (static_cast<unsigned char>(d[at + 1]) << 8));
}
inline quint32 le32(QByteArrayView d, qsizetype at)
{
    return static_cast<quint32>(le16(d, at)) | (static_cast<quint32>(le16(d, at + 2)) << 16);
}

} // namespace verbana::hwp
