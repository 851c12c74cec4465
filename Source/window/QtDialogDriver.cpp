#include "window/QtDialogDriver.h"

#include <QDateTime>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTreeView>

namespace kestrane {

namespace {

// Qt's file dialog, opened wide enough to show its Size and Date Modified
// columns whole. Qt sizes them for "128.88 GB" and "10/29/81 02:02PM" and
// opens the dialog just wide enough for those, so a size in KiB and a date
// in the locale's own format came out cut ("49....KiB", "7 Dec ...:33:21").
// A width the operator gave a column before, which the dialog keeps, is
// never narrowed.
class WideFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

protected:
    // The dialog is laid out by now, and not yet on the screen.
    void showEvent(QShowEvent *event) override
    {
        QFileDialog::showEvent(event);
        auto *details = findChild<QTreeView *>();
        if (details == nullptr || event->spontaneous())
            return;
        QHeaderView *header = details->header();
        // The texts a folder's files are shown with: the widest size below
        // 1000 of a unit, and a late date and time of a two-digit day.
        const QLocale locale = QLocale::system();
        widenColumn(header, 1, locale.formattedDataSize(1023990));
        widenColumn(header, 3, locale.toString(QDateTime(QDate(2000, 12, 28), QTime(20, 58, 58)), QLocale::ShortFormat));
        // Wider by what the columns lack, but no wider than the screen.
        const int wanted = qMin(width() + header->length() - details->viewport()->width(),
                                screen()->availableGeometry().width());
        if (wanted > width()) {
            resize(wanted, height());
            adjustPosition(parentWidget()); // centred again over the window
        }
    }

private:
    static void widenColumn(QHeaderView *header, int column, const QString &text)
    {
        // An item's text has the focus frame's margin and a pixel on each side.
        const QWidget *view = header->parentWidget();
        const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
        const int wanted = view->fontMetrics().horizontalAdvance(text) + margins;
        if (header->sectionSize(column) < wanted)
            header->resizeSection(column, wanted);
    }
};

} // namespace

MsgBoxResult QtDialogDriver::showMessageBox(const MessageBoxRequest &request)
{
    const auto icon = request.icon == MsgBoxIcon::Information ? QMessageBox::Information
                                                                : QMessageBox::NoIcon;
    const auto buttons = request.buttons == MsgBoxButtons::OKCancel
                             ? QMessageBox::Ok | QMessageBox::Cancel
                             : QMessageBox::Ok;
    QMessageBox box(icon, request.title, request.text, buttons, m_owner);
    // Texts come from files too (failure descriptions); never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    const int pressed = box.exec();
    // A box closed without a button (Escape, or the program ending) answers
    // with its cancel button where it has one.
    if (pressed == QMessageBox::Ok)
        return MsgBoxResult::OK;
    return request.buttons == MsgBoxButtons::OKCancel ? MsgBoxResult::Cancel : MsgBoxResult::OK;
}

std::optional<QString> QtDialogDriver::showFileDialog(const FileDialogRequest &request)
{
    const bool save = request.kind == FileDialogKind::Save;
    WideFileDialog dialog(m_owner, save ? QStringLiteral("Save As") : QStringLiteral("Open"),
                       request.folder);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Qt's own dialog on every desktop, never the platform's (GTK, KDE, a
    // portal). The platform dialogs ask about an existing file on the name
    // as typed, before the ".xls" is added, so "out" would replace "out.xls"
    // without a question; Qt's dialog asks on the name that is saved. The
    // operator also meets one dialog, the same everywhere, for both commands.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The chosen file need not exist, in either dialog.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.nameFilters.isEmpty())
        dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.front();
}

} // namespace kestrane
