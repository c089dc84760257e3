#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <optional>

class QWidget;

/// Shows a modal message box with one OK button and returns when the user has
/// closed it. The box's frame goes to `at` on the primary screen; without `at`,
/// or along an axis where `at` is negative, it is centred on the screen. The text
/// is plain: line feeds break lines and nothing is read as markup.
void showMessageBox(QWidget *parent,
    QMessageBox::Icon icon,
    const QString &caption,
    const QString &text,
    std::optional<QPoint> at = std::nullopt);
