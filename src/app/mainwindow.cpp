// Placeholder bodies until the main window's form exists.
#include "app/mainwindow.h"

const QString applicationTitle = QStringLiteral("Telvoro");

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(nullptr), module(nullptr), configuration(nullptr), referenceConfiguration(nullptr), configurationSource(0) {}
MainWindow::~MainWindow() {}
void MainWindow::closeEvent(QCloseEvent *) {}
void MainWindow::on_toolButton_17_clicked(bool) {}
void MainWindow::on_toolButton_18_clicked(bool) {}
void MainWindow::on_tabWidget_currentChanged(int) {}
void MainWindow::on_actionO_programie_triggered() {}
