#include "link/modulesession.h"

#include "link/module.h"
#include "settings/usernames.h"

#include <QDateTime>
#include <QDir>
#include <QStringList>

namespace {

constexpr int SettingsBlockOffset = ImageHeaderSize;
constexpr int SmsBlockOffset = ImageHeaderSize + SettingsBlockSize;

Configuration decoded(const QByteArray &image)
{
    Configuration configuration;
    configuration.fromImage(image);
    return configuration;
}

bool mayBeOrigin(const Configuration &onLine, const Configuration &origin,
                 const std::optional<Configuration> &lastSent)
{
    for (const ImageSection block : {ImageSection::SettingsBlock, ImageSection::SmsBlock}) {
        const QByteArray held = onLine.toImage(block);
        if (held != origin.toImage(block) && (!lastSent || held != lastSent->toImage(block)))
            return false;
    }
    return true;
}

QString byteText(char byte)
{
    return QStringLiteral("0x%1").arg(quint8(byte), 2, 16, QLatin1Char('0'));
}

} // namespace

QString ModuleSession::WritePlan::changedNote() const
{
    return moduleChanged ? tr("Modem na linii zmienił się, gdy pytanie było otwarte: to inny modem albo zmieniono "
                              "jego konfigurację. Nic do niego nie wysłano.")
                    + QLatin1Char(' ')
                         : QString();
}

bool ModuleSession::WriteOutcome::succeeded() const
{
    return status == WriteStatus::Verified || status == WriteStatus::WrittenUnverified;
}

bool ModuleSession::WriteOutcome::leftPartly() const
{
    return settingsBlock != BlockResult::NotSent && !succeeded();
}

QString ModuleSession::WriteOutcome::backupPath() const
{
    return backup && backup->status == BackupStore::SaveStatus::Saved ? backup->path : QString();
}

QString ModuleSession::WriteOutcome::summary() const
{
    switch (status) {
    case WriteStatus::Verified:
        return tr("Zapisano i sprawdzono konfigurację w modemie.");
    case WriteStatus::WrittenUnverified:
        return tr("Zapisano konfigurację w modemie.");
    case WriteStatus::Cancelled:
        // Refused because the module could not be read, or as the user chose.
        if (plan.moduleRead)
            return QString();
        [[fallthrough]];
    case WriteStatus::ReadBeforeFailed:
        return tr("Błąd podczas odczytywania z modemu.");
    case WriteStatus::BackupFailed:
        if (backup->status == BackupStore::SaveStatus::CannotCreateFolder)
            return tr("Nie można utworzyć folderu kopii zapasowych: %1.").arg(QDir::toNativeSeparators(backup->path));
        return tr("Nie można zapisać kopii zapasowej: %1. Dysk może być pełny albo zapis w tym folderze jest "
                  "niedozwolony.").arg(QDir::toNativeSeparators(backup->path));
    case WriteStatus::StoredDifferently:
        return tr("Modem potwierdził zapis, ale odczytany z powrotem przechowuje w polach wymienionych poniżej "
                  "co innego, niż wysłano. Zapis się nie udał.");
    case WriteStatus::Interrupted:
        return tr("Zapis do modemu przerwano.");
    case WriteStatus::ModuleChanged:
        return tr("Modem na linii zmienił się przed zapisem: to inny modem albo zmieniono jego konfigurację.");
    case WriteStatus::BlockUnanswered:
        return tr("Modem nie potwierdził wysłanego bloku w wyznaczonym czasie. Błąd podczas zapisu do modemu.");
    case WriteStatus::LineLost:
        return tr("Połączenie z modemem zostało utracone w trakcie zapisu. Błąd podczas zapisu do modemu.");
    case WriteStatus::ReadBackFailed:
        return tr("Po zapisie nie udało się odczytać modemu, by go sprawdzić. Błąd podczas zapisu do modemu.");
    }
    return tr("Błąd podczas zapisu do modemu.");
}

QString ModuleSession::WriteOutcome::leftBehind() const
{
    QStringList facts;
    if (settingsBlock == BlockResult::NotSent) {
        facts << tr("Do modemu nic nie wysłano.");
    } else if (settingsBlock == BlockResult::Unanswered) {
        facts << (plan.withSmsBlock ? tr("Modem nie potwierdził bloku ustawień; bloku tekstów SMS nie wysłano.")
                                    : tr("Modem nie potwierdził bloku ustawień."));
    } else if (smsBlock == BlockResult::Unanswered) {
        facts << tr("Modem potwierdził blok ustawień, ale nie potwierdził bloku tekstów SMS.");
    } else if (smsBlock == BlockResult::NotSent && plan.withSmsBlock) {
        facts << tr("Modem potwierdził blok ustawień; bloku tekstów SMS nie wysłano.");
    } else if (status == WriteStatus::ReadBackFailed) {
        facts << tr("Modem potwierdził każdy wysłany blok, ale nie udało się go potem odczytać, "
                    "by sprawdzić zapis.");
    } else if (status != WriteStatus::StoredDifferently) {
        facts << tr("Modem potwierdził każdy wysłany blok, ale zapisu nie sprawdzono.");
    }
    if (leftPartly())
        facts << tr("Modem może zawierać część nowej konfiguracji.");
    if (!backupPath().isEmpty())
        facts << tr("Kopia zapasowa jego poprzedniej konfiguracji: %1").arg(QDir::toNativeSeparators(backupPath()));
    else if (!plan.moduleRead && settingsBlock != BlockResult::NotSent)
        facts << tr("Kopii zapasowej jego poprzedniej konfiguracji nie ma: przed zapisem nie udało się go "
                    "odczytać.");
    return facts.join(QLatin1Char('\n'));
}

ModuleSession::ModuleSession(Module *module, QObject *parent)
    : QObject(parent), link(module), current(module->isConnected() ? State::Idle : State::Disconnected)
{
    link->driver = this;
    connect(link, &Module::connectionLost, this, &ModuleSession::lineLost);
    connect(link, &Module::newAvailablePorts, this, &ModuleSession::portsChanged);
    connect(link, &Module::exchangeProgress, this, &ModuleSession::showExchangeProgress);
}

ModuleSession::~ModuleSession()
{
    if (link->driver == this)
        link->driver = nullptr;
}

ModuleSession *ModuleSession::of(const Module *module)
{
    return module ? qobject_cast<ModuleSession *>(module->driver.data()) : nullptr;
}

QList<QPair<QString, QString>> ModuleSession::availablePorts()
{
    Module scan;
    scan.readAvaiblePorts();
    return scan.availablePorts;
}

QList<QPair<QString, QString>> ModuleSession::scannedPorts() const
{
    return link->availablePorts;
}

void ModuleSession::scanPorts()
{
    link->readAvaiblePorts();
}

Module *ModuleSession::module() const
{
    return link;
}

ModuleSession::State ModuleSession::state() const
{
    return current;
}

bool ModuleSession::isConnected() const
{
    return current != State::Disconnected && current != State::Connecting && link->isConnected();
}

bool ModuleSession::isBusy() const
{
    return (current != State::Idle && current != State::Disconnected) || link->isBusy();
}

bool ModuleSession::connectPort(const QString &name)
{
    return connectWith(name, [this, &name] { return link->connectPort(name); });
}

bool ModuleSession::connectDevice(QIODevice *device, const QString &name)
{
    return connectWith(name, [this, device] { return link->connectDevice(device); });
}

bool ModuleSession::connectWith(const QString &name, const std::function<bool()> &connectLink)
{
    known.reset();
    port = name;
    setState(State::Connecting);
    // The half second after opening, then the probe.
    beginStep(Step::Connecting, 2 * link->limitMilliseconds(Module::Command::Probe));
    const bool connected = connectLink();
    endStep();
    finishOperation();
    return connected;
}

// An exchange still running ends at once as unanswered; its operation then
// leaves the state Disconnected.
void ModuleSession::disconnectPort()
{
    known.reset();
    link->disconnectPort();
    if (current == State::Idle)
        setState(State::Disconnected);
}

QString ModuleSession::portName() const
{
    return port;
}

ConnectionFailure ModuleSession::connectionFailure() const
{
    return link->connectionFailure();
}

QString ModuleSession::connectionProblem() const
{
    return link->connectionProblem();
}

QString ModuleSession::connectionFailureText() const
{
    const ConnectionFailure failure = connectionFailure();
    const QByteArray answer = link->wrongProbeAnswer();
    return ::connectionFailureText(failure, failure == ConnectionFailure::WrongAnswer
                                           ? QString::fromLatin1(answer.left(8).toHex(' ').toUpper())
                                           : connectionProblem());
}

LinkLog *ModuleSession::log() const
{
    return link->log();
}

const std::optional<Configuration> &ModuleSession::moduleConfiguration() const
{
    return known;
}

std::optional<Configuration> ModuleSession::read(const std::function<bool()> &beforeReading)
{
    if (isBusy() || !isConnected())
        return std::nullopt;
    setState(State::Reading);
    std::optional<Configuration> result;
    if (!beforeReading || beforeReading()) {
        const std::optional<QByteArray> image = readImage();
        known = image ? std::optional<Configuration>(decoded(*image)) : std::nullopt;
        result = known;
    }
    finishOperation();
    return result;
}

ModuleSession::WriteOutcome ModuleSession::write(const Configuration &configuration, bool verify,
                                                 const WriteConfirmation &confirm)
{
    WriteOutcome outcome;
    if (isBusy())
        return outcome;
    if (!isConnected()) {
        outcome.status = WriteStatus::ReadBeforeFailed;
        return outcome;
    }
    interruptionRequested = false;
    setState(State::Writing);
    runWrite(configuration, verify, confirm, &outcome);
    finishOperation();
    return outcome;
}

void ModuleSession::runWrite(const Configuration &configuration, bool verify, const WriteConfirmation &confirm,
                             WriteOutcome *outcome)
{
    // The module on the line now, whatever was read or written before: the
    // cable may have moved to another module since.
    std::optional<QByteArray> before = readImage();
    known = before ? std::optional<Configuration>(decoded(*before)) : std::nullopt;
    if (before)
        outcome->plan = planOver(*before, configuration);
    if (!before && !link->isConnected()) {
        outcome->status = WriteStatus::ReadBeforeFailed;
        return;
    }
    if (const std::optional<WriteStatus> ended = confirmOnTheSameModule(configuration, confirm, &before, outcome)) {
        outcome->status = *ended;
        return;
    }
    if (known) {
        outcome->backup = BackupStore().save(*known, port, QDateTime::currentDateTime(), backupModuleName);
        if (outcome->backup->status != BackupStore::SaveStatus::Saved) {
            outcome->status = WriteStatus::BackupFailed;
            return;
        }
    }
    const int readBackLimit = verify ? link->limitMilliseconds(Module::Command::ReadConfiguration) : 0;
    beginStep(Step::Writing, link->writeLimitMilliseconds(outcome->plan.withSmsBlock) + readBackLimit);
    outcome->status = sendBlocks(configuration, verify, outcome);
    endStep();
}

ModuleSession::WritePlan ModuleSession::planOver(const QByteArray &image, const Configuration &configuration) const
{
    WritePlan plan;
    plan.moduleRead = true;
    plan.changes = configurationDifferences(decoded(image), configuration, UserNames::fromSettings());
    plan.withSmsBlock = image.mid(SmsBlockOffset, SmsBlockSize) != configuration.toImage(ImageSection::SmsBlock);
    plan.mayBeOrigin = mayBeOrigin(decoded(image), configuration, lastSent);
    return plan;
}

std::optional<ModuleSession::WriteStatus> ModuleSession::confirmOnTheSameModule(
        const Configuration &configuration, const WriteConfirmation &confirm, std::optional<QByteArray> *before,
        WriteOutcome *outcome)
{
    for (;;) {
        if (interruptionRequested)
            return WriteStatus::Interrupted;
        const WriteAnswer answer = confirm(outcome->plan);
        if (answer == WriteAnswer::Cancel)
            return outcome->plan.moduleChanged ? WriteStatus::ModuleChanged : WriteStatus::Cancelled;
        // The line may have gone while the user was asked.
        if (!link->isConnected() || interruptionRequested)
            return interruptionRequested ? WriteStatus::Interrupted : WriteStatus::LineLost;
        if (answer == WriteAnswer::Send || !*before)
            return std::nullopt;
        const std::optional<QByteArray> again = readImage();
        if (interruptionRequested)
            return WriteStatus::Interrupted;
        if (!again) {
            known.reset();
            return link->isConnected() ? WriteStatus::ReadBeforeFailed : WriteStatus::LineLost;
        }
        if (*again == **before)
            return std::nullopt;
        // Another module, or the same one changed meanwhile: what was shown
        // and what would be backed up are no longer its.
        *before = again;
        known = decoded(*again);
        outcome->plan = planOver(*again, configuration);
        outcome->plan.moduleChanged = true;
    }
}

ModuleSession::WriteStatus ModuleSession::sendBlocks(const Configuration &configuration, bool verify,
                                                     WriteOutcome *outcome)
{
    // Until the read-back shows what arrived, the module's content is unknown.
    known.reset();
    const auto result = [](bool acknowledged) {
        return acknowledged ? BlockResult::Acknowledged : BlockResult::Unanswered;
    };
    // A block without its answer: the line went, or the module did not take it.
    const auto unanswered = [this] {
        if (!link->isConnected())
            return WriteStatus::LineLost;
        return interruptionRequested ? WriteStatus::Interrupted : WriteStatus::BlockUnanswered;
    };
    lastSent = configuration;
    outcome->settingsBlock = result(link->writeSettingsBlock(configuration));
    if (outcome->settingsBlock == BlockResult::Unanswered)
        return unanswered();
    if (outcome->plan.withSmsBlock) {
        // The pause the module is owed before the block is a point to stop at too.
        if (!interruptionRequested)
            link->waitOwedPause(Module::Command::SmsBlock);
        if (interruptionRequested)
            return WriteStatus::Interrupted;
        outcome->smsBlock = result(link->writeSmsBlock(configuration));
        if (outcome->smsBlock == BlockResult::Unanswered)
            return unanswered();
    }
    // Every block went: the read-back runs even after an interruption, so
    // that the user learns what the module holds, not what it may hold.
    if (!verify)
        return WriteStatus::WrittenUnverified;
    const QByteArray readBack = link->readConfiguration();
    if (readBack.size() != ConfigurationImageSize)
        return link->isConnected() ? WriteStatus::ReadBackFailed : WriteStatus::LineLost;
    return compareReadBack(configuration, readBack, outcome);
}

// The whole image the module should hold, the header with the SIM PIN and
// PUK aside: the blocks sent, and a block skipped because the module held it
// already, read just before, so equal to the one that would have gone.
ModuleSession::WriteStatus ModuleSession::compareReadBack(const Configuration &sent, const QByteArray &readBack,
                                                          WriteOutcome *outcome)
{
    const QByteArray sentImage = sent.toImage(ImageSection::Full);
    QByteArray stored = sentImage;
    stored.replace(SettingsBlockOffset, SettingsBlockSize + SmsBlockSize,
                   readBack.mid(SettingsBlockOffset, SettingsBlockSize + SmsBlockSize));
    if (stored == sentImage) {
        known = decoded(readBack);
        return WriteStatus::Verified;
    }
    outcome->storedDifferently = configurationDifferences(sent, decoded(stored), UserNames::fromSettings());
    // Bytes the form has no field for, such as those after a text's end.
    if (outcome->storedDifferently.isEmpty()) {
        qsizetype offset = 0;
        while (stored.at(offset) == sentImage.at(offset))
            ++offset;
        outcome->storedDifferently.append({tr("Obraz konfiguracji"), tr("Bajt %1").arg(offset),
                                           byteText(sentImage.at(offset)), byteText(stored.at(offset))});
    }
    return WriteStatus::StoredDifferently;
}

void ModuleSession::setBackupModuleName(const QString &name)
{
    backupModuleName = name;
}

QByteArray ModuleSession::readOnlineState()
{
    if (isBusy() || !isConnected())
        return {};
    setState(State::Polling);
    const QByteArray state = link->readOnlineState();
    finishOperation();
    return state;
}

bool ModuleSession::sendManualOutputs(quint16 ao1, quint16 ao2, quint8 doMask)
{
    if (isBusy() || !isConnected())
        return false;
    setState(State::SendingOutputs);
    link->sendManualOutputs(ao1, ao2, doMask);
    finishOperation();
    return link->isConnected();
}

bool ModuleSession::writePinPuk(const QByteArray &pin, const QByteArray &puk, quint8 pinRequest)
{
    if (isBusy() || !isConnected())
        return false;
    setState(State::WritingPinPuk);
    beginStep(Step::WritingPinPuk, link->limitMilliseconds(Module::Command::PinPuk));
    const bool written = link->writePinPuk(pin, puk, pinRequest);
    endStep();
    finishOperation();
    return written;
}

bool ModuleSession::deferWhileBusy(QObject *request, const std::function<void()> &operation)
{
    if (!isBusy())
        return false;
    for (const WaitingOperation &operationWaiting : std::as_const(waiting)) {
        if (operationWaiting.request == request)
            return true;
    }
    waiting.append({request, operation});
    return true;
}

void ModuleSession::requestInterruption()
{
    interruptionRequested = true;
    if (current == State::Connecting)
        link->abandonConnection();
    link->endPause();
}

bool ModuleSession::interruptionWasRequested() const
{
    return interruptionRequested;
}

void ModuleSession::stopWaiting()
{
    requestInterruption();
    link->abandonExchange();
}

QString ModuleSession::waitText() const
{
    const std::optional<Module::Command> command = link->runningCommand();
    if (!command)
        return QString();
    QString waiting;
    switch (*command) {
    case Module::Command::Probe:
        waiting = tr("Czekam na odpowiedź modemu…");
        break;
    case Module::Command::ReadConfiguration:
        waiting = tr("Czekam na konfigurację z modemu…");
        break;
    case Module::Command::SettingsBlock:
        waiting = tr("Czekam na potwierdzenie bloku ustawień…");
        break;
    case Module::Command::SmsBlock:
        waiting = tr("Czekam na potwierdzenie bloku tekstów SMS…");
        break;
    case Module::Command::PinPuk:
        waiting = tr("Czekam na potwierdzenie kodów PIN i PUK…");
        break;
    case Module::Command::ReadOnlineState:
    case Module::Command::ManualOutputs:
        return QString();
    }
    return QStringLiteral("%1 %2 s").arg(waiting).arg((exchangeRemaining + 999) / 1000);
}

void ModuleSession::setState(State newState)
{
    if (newState == current)
        return;
    current = newState;
    emit stateChanged(current);
    // A request that waited runs once the operation that kept it waiting has
    // returned to its caller, not inside it.
    if (!isBusy() && !waiting.isEmpty())
        QMetaObject::invokeMethod(this, &ModuleSession::runWaitingOperations, Qt::QueuedConnection);
}

void ModuleSession::beginStep(Step newStep, int limitMilliseconds)
{
    step = newStep;
    // Room for the values between the start and the end.
    stepLimit = qMax(limitMilliseconds, 2);
    stepExchangesDone = 0;
    emit progress(newStep, 0, stepLimit);
}

void ModuleSession::endStep()
{
    const Step ended = *step;
    step.reset();
    emit progress(ended, stepLimit, stepLimit);
}

// Each exchange reports 0 first and its own limit last; the step's bar goes
// on from where the exchanges before it ended.
void ModuleSession::showExchangeProgress(int elapsedMilliseconds, int limitMilliseconds)
{
    exchangeRemaining = limitMilliseconds - elapsedMilliseconds;
    if (!step)
        return;
    const int elapsed = qBound(1, stepExchangesDone + elapsedMilliseconds, stepLimit - 1);
    if (elapsedMilliseconds >= limitMilliseconds)
        stepExchangesDone += limitMilliseconds;
    emit progress(*step, elapsed, stepLimit);
}

void ModuleSession::finishOperation()
{
    setState(link->isConnected() ? State::Idle : State::Disconnected);
}

void ModuleSession::lineLost()
{
    known.reset();
    if (current == State::Idle)
        setState(State::Disconnected);
    emit connectionLost();
}

void ModuleSession::runWaitingOperations()
{
    while (!waiting.isEmpty() && !isBusy()) {
        const WaitingOperation next = waiting.takeFirst();
        if (next.request)
            next.run();
    }
}

std::optional<QByteArray> ModuleSession::readImage()
{
    beginStep(Step::Reading, link->limitMilliseconds(Module::Command::ReadConfiguration));
    const QByteArray image = link->readConfiguration();
    endStep();
    if (image.size() != ConfigurationImageSize)
        return std::nullopt;
    return image;
}
