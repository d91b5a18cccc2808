#include "selectiontracker.h"

#include "frmtext.h"
#include "menus/commandrouter.h"
#include "richtext/richtextbox.h"
#include "richtext/richtextproperties.h"

#include <QEvent>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTimer>
#include <algorithm>

namespace {

using S = SelectionIndicators;

// One character format's attributes, with the document's defaults where it has none.
struct CharLook {
    std::array<bool, 6> emphasis{};
    QString name;
    double size = 0;
};

CharLook lookOf(const QTextCharFormat& f, const QFont& defaults)
{
    CharLook look;
    look.emphasis[S::Bold] = f.fontWeight() >= QFont::DemiBold;
    look.emphasis[S::Italic] = f.fontItalic();
    look.emphasis[S::Underline] = f.fontUnderline();
    look.emphasis[S::StrikeThru] = f.fontStrikeOut();
    look.emphasis[S::Protected] = f.boolProperty(RichTextProperty::Protected);
    const QStringList families = f.fontFamilies().toStringList();
    look.name = families.isEmpty() ? defaults.family() : families.first();
    look.size =
        f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : defaults.pointSizeF();
    return look;
}

// Folds the looks met so far: a value stays while every look agrees on it.
struct CharAgreement {
    std::array<std::optional<bool>, 6> emphasis;
    std::array<bool, 6> mixed{};
    std::optional<QString> name;
    std::optional<double> size;
    bool nameMixed = false;
    bool sizeMixed = false;
    bool any = false;

    void add(const CharLook& look)
    {
        for (int e : {S::Bold, S::Italic, S::Underline, S::StrikeThru, S::Protected}) {
            if (!any)
                emphasis[e] = look.emphasis[e];
            else if (!mixed[e] && emphasis[e] != look.emphasis[e])
                mixed[e] = true, emphasis[e].reset();
        }
        if (!any)
            name = look.name, size = look.size;
        if (!nameMixed && any && name != look.name)
            nameMixed = true, name.reset();
        if (!sizeMixed && any && size != look.size)
            sizeMixed = true, size.reset();
        any = true;
    }
    // Nothing more to learn: each value is mixed here, or the same in the whole document.
    bool settled(const CharAgreement& everywhere) const
    {
        for (int e : {S::Bold, S::Italic, S::Underline, S::StrikeThru, S::Protected})
            if (!mixed[e] && everywhere.mixed[e])
                return false;
        return (nameMixed || !everywhere.nameMixed) && (sizeMixed || !everywhere.sizeMixed);
    }
};

// Above this a document's used formats are not walked.
constexpr int LargeDocumentCharacters = 1000000;

int alignmentOf(const QTextBlockFormat& f)
{
    const Qt::Alignment a = f.alignment();
    return (a & Qt::AlignRight) ? S::Right : (a & Qt::AlignHCenter) ? S::Center : S::Left;
}

} // namespace

SelectionTracker::SelectionTracker(frmText* window, CommandRouter& router)
    : QObject(window), m_window(window), m_router(router)
{
    setObjectName(QStringLiteral("SelectionTracker"));
    RichTextBox* box = window->RichTextBox1;
    connect(box, &RichTextBox::SelChange, this, &SelectionTracker::schedule);
    box->installEventFilter(this);
    box->viewport()->installEventFilter(this);
}

void SelectionTracker::schedule()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_scheduled = false;
        refresh(false);
    });
}

bool SelectionTracker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched == m_window->RichTextBox1) {
        // A window that gets the focus shows all of its own indicators again.
        m_indicators.forget();
        RichTextBox1_SelChange();
    } else if (event->type() == QEvent::MouseMove) {
        emit pointerMoved();
    }
    return QObject::eventFilter(watched, event);
}

// What the selection's text agrees on so far. A selection that grows (Shift with an
// arrow) adds only the stretch it gained; adding is safe to repeat, and a scan that
// stopped because all was mixed stays right for any larger selection.
struct SelectionTracker::Scan {
    const QTextDocument* document = nullptr;
    int revision = -1;
    int from = 0, to = 0;
    CharAgreement chars;
    QSet<int> seen;
    std::optional<int> alignment;
    std::optional<bool> bullet;
    bool alignmentMixed = false, bulletMixed = false, anyBlock = false;

    void addChars(const QTextDocument* d, int start, int end, const CharAgreement& everywhere,
                  const QFont& defaults)
    {
        for (QTextBlock block = d->findBlock(start);
             block.isValid() && block.position() < end && !(chars.any && chars.settled(everywhere));
             block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.position() >= end || fragment.position() + fragment.length() <= start)
                    continue;
                if (seen.contains(fragment.charFormatIndex()))
                    continue;
                seen.insert(fragment.charFormatIndex());
                chars.add(lookOf(fragment.charFormat(), defaults));
            }
    }
    void addBlocks(const QTextDocument* d, int start, int end)
    {
        const QTextBlock last = d->findBlock(end);
        for (QTextBlock block = d->findBlock(start);
             block.isValid() && !(alignmentMixed && bulletMixed); block = block.next()) {
            const int a = alignmentOf(block.blockFormat());
            const bool b = block.textList() != nullptr;
            if (!anyBlock) {
                alignment = a, bullet = b, anyBlock = true;
            } else {
                if (!alignmentMixed && alignment != a)
                    alignmentMixed = true, alignment.reset();
                if (!bulletMixed && bullet != b)
                    bulletMixed = true, bullet.reset();
            }
            if (block == last)
                break;
        }
    }
};

// What every format of the document agrees on needs no look at the selection.
struct SelectionTracker::Everywhere {
    // The formats and the used set this was made from: a document only adds formats
    // (a new list holds them when it does), and the used set only grows until emptied.
    const QTextDocument* document = nullptr;
    const void* formatsData = nullptr;
    qsizetype formats = -1, used = -1;
    int usedGeneration = -1;
    QFont defaults; // stands in for what a format leaves out

    CharAgreement chars;
    std::optional<int> alignment;
    bool charsKnown = false, blocksKnown = false;
};

SelectionTracker::~SelectionTracker() = default;

const SelectionTracker::Everywhere&
SelectionTracker::everywhere(const QTextDocument* document) const
{
    const QList<QTextFormat> formats = document->allFormats();
    const QSet<int>& used = usedCharFormats(document);
    if (!m_everywhere)
        m_everywhere = std::make_unique<Everywhere>();
    Everywhere& known = *m_everywhere;
    if (known.document == document && known.formatsData == formats.constData() &&
        known.formats == formats.size() && known.used == used.size() &&
        known.usedGeneration == m_usedGeneration && known.defaults == document->defaultFont())
        return known;
    known = Everywhere();
    known.document = document;
    known.formatsData = formats.constData();
    known.formats = formats.size();
    known.used = used.size();
    known.usedGeneration = m_usedGeneration;
    known.defaults = document->defaultFont();
    const QFont& defaults = known.defaults;
    for (int index : used)
        if (index >= 0 && index < formats.size() && formats[index].isCharFormat() &&
            !formats[index].isImageFormat())
            known.chars.add(lookOf(formats[index].toCharFormat(), defaults));
    bool alignmentVaries = false, lists = false;
    for (const QTextFormat& format : formats) {
        if (format.isBlockFormat()) {
            const int a = alignmentOf(format.toBlockFormat());
            if (known.alignment && *known.alignment != a)
                alignmentVaries = true;
            known.alignment = a;
        } else if (format.isListFormat()) {
            lists = true;
        }
    }
    const CharAgreement& chars = known.chars;
    known.charsKnown =
        chars.any &&
        std::none_of(chars.mixed.begin(), chars.mixed.end(), [](bool m) { return m; }) &&
        !chars.nameMixed && !chars.sizeMixed;
    known.blocksKnown = known.alignment && !alignmentVaries && !lists;
    return known;
}

SelectionIndicators::Attributes SelectionTracker::attributes() const
{
    RichTextBox* box = m_window->RichTextBox1;
    QTextDocument* document = box->document();
    const QFont defaults = document->defaultFont();
    const QTextCursor cursor = box->textCursor();
    const Everywhere& known = everywhere(document);
    const CharAgreement& everywhere = known.chars;
    const std::optional<int>& alignmentEverywhere = known.alignment;
    const bool charsKnown = known.charsKnown;
    const bool blocksKnown = known.blocksKnown;

    Scan caret;
    Scan* scan = &caret;
    const int from = cursor.selectionStart(), to = cursor.selectionEnd();
    // All of a large text (Select All) takes the formats the document counts as used
    // rather than walking every fragment: those are not walked for it either.
    const bool whole = document->characterCount() > LargeDocumentCharacters && from == 0 &&
                       to >= document->characterCount() - 1;
    const bool charsFromFormats = charsKnown || whole;
    if (cursor.hasSelection()) {
        if (!m_scan)
            m_scan = std::make_unique<Scan>();
        scan = m_scan.get();
        const bool grows = scan->document == document && scan->revision == document->revision() &&
                           from <= scan->from && to >= scan->to;
        if (!grows) {
            *scan = Scan();
            scan->document = document;
            scan->revision = document->revision();
            scan->from = scan->to = from;
        }
        if (!charsFromFormats) {
            scan->addChars(document, from, scan->from, everywhere, defaults);
            scan->addChars(document, scan->to, to, everywhere, defaults);
        }
        if (!blocksKnown) {
            scan->addBlocks(document, from, scan->from);
            scan->addBlocks(document, scan->to, to);
        }
        scan->from = from, scan->to = to;
    } else if (!blocksKnown) {
        scan->addBlocks(document, from, from);
    }

    // A bare caret shows what typing would give, which no text may have yet.
    CharAgreement chars = !cursor.hasSelection() ? CharAgreement()
                          : charsFromFormats     ? everywhere
                                                 : scan->chars;
    if (!chars.any)
        chars.add(lookOf(cursor.charFormat(), defaults));
    S::Attributes attributes;
    attributes.emphasis = chars.emphasis;
    attributes.emphasis[S::Bullet] = blocksKnown ? std::optional<bool>(false) : scan->bullet;
    attributes.alignment = blocksKnown ? alignmentEverywhere : scan->alignment;
    attributes.fontName = chars.name;
    attributes.fontSize = chars.size;
    attributes.line = box->GetLineFromChar(box->SelStart()) + 1;
    return attributes;
}

void SelectionTracker::forgetScan()
{
    if (m_scan)
        m_scan->document = nullptr;
}

const QSet<int>& SelectionTracker::usedCharFormats(const QTextDocument* document) const
{
    // A document keeps every format it ever had; only those its text uses count. Walked
    // once, then kept up by the changes.
    if (m_usedIn != document) {
        // Changes also end the kept scan of the selection.
        connect(document, &QTextDocument::contentsChange, this, &SelectionTracker::noteChange,
                Qt::UniqueConnection);
        m_usedIn = const_cast<QTextDocument*>(document);
        m_used.clear();
        ++m_usedGeneration;
        // A large document is not walked (a second or so for tens of megabytes): every
        // character format it holds counts, as formats fallen out of use do below.
        if (document->characterCount() > LargeDocumentCharacters) {
            const QList<QTextFormat> formats = document->allFormats();
            for (int index = 0; index < formats.size(); ++index)
                if (formats[index].isCharFormat())
                    m_used.insert(index);
        } else {
            addCharFormats(0, document->characterCount());
        }
    }
    return m_used;
}

void SelectionTracker::noteChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    forgetScan();
    if (!m_usedIn || m_usedIn != sender())
        return;
    // Formats that fell out of use stay counted: the selection's scan then only goes on longer.
    if (added > 100000)
        m_usedIn.clear(), m_used.clear(), ++m_usedGeneration; // walked again when next needed
    else
        addCharFormats(position, position + added);
}

void SelectionTracker::addCharFormats(int from, int to) const
{
    for (QTextBlock block = m_usedIn->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() <= to && fragment.position() + fragment.length() >= from)
                m_used.insert(fragment.charFormatIndex());
        }
}

void SelectionTracker::RichTextBox1_SelChange()
{
    refresh(true);
}

void SelectionTracker::refresh(bool commands)
{
    if (!m_window)
        return;
    const SelectionIndicators::Changes changes = m_indicators.update(attributes());
    if (changes.font)
        emit fontTextChanged(m_indicators.fontText());
    // The caption is made again from the bare name: a name may hold "Line: " itself.
    const QString caption = S::caption(m_window->bareCaption(), m_indicators.line());
    if (m_window->windowTitle() != caption)
        m_window->setWindowTitle(caption);
    // A caret that moves changes no more of what the commands show than their
    // check marks, and refreshing them all costs more than the rest of a
    // keystroke's own work. A command's handler asks for all: triggering a
    // checkable entry ticks it even where the handler then changes nothing.
    if (commands || changes.marks)
        m_router.refresh();
}
