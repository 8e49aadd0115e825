#pragma once

#include <QComboBox>
#include <QHash>
#include <QSet>
#include <QStringList>

class QStandardItemModel;

// The ribbon's font face box (4035) with its gallery (4037): the recently used faces under
// caption 2019 and the system's faces under caption 2020, the current one marked. Faces that
// can show Latin and Japanese names show their name in themselves, the others in the box's
// font; the gallery is as wide as its longest name. Committing (Enter or a gallery pick)
// reports the face.
class FontFaceBox : public QComboBox {
    Q_OBJECT
public:
    explicit FontFaceBox(QWidget *parent = nullptr);

    // Shows `face` as the current one (the edit text only while the box has no focus).
    void setCurrentFace(const QString &face);
    QString currentFace() const { return m_face; }
    void setRecentFaces(const QStringList &faces);
    QStringList recentFaces() const { return m_recent; }
    // The gallery's rows: captions, recent faces, all faces.
    QStandardItemModel *galleryModel() const { return m_model; }

Q_SIGNALS:
    void faceCommitted(const QString &face);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void rebuild();
    void commit(const QString &text);
    int nameWidth(const QString &text, const QFont &font);

    QStandardItemModel *m_model;
    QStringList m_families;
    QSet<QString> m_ownFontFaces; // the faces shown in themselves
    QHash<QString, int> m_nameWidths; // by face and font key
    QStringList m_recent;
    QString m_face;
};

// The font size box (4036) with its gallery (4038) of the sizes "8" to "72": shows the list
// font's height as a positive number; committing reports the typed or picked text.
class FontSizeBox : public QComboBox {
    Q_OBJECT
public:
    explicit FontSizeBox(QWidget *parent = nullptr);
    static const QStringList &GallerySizes();

    void setCurrentHeight(int height);

Q_SIGNALS:
    void sizeCommitted(const QString &text);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_height = 0;
};
