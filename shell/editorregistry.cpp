#include "shell/editorregistry.h"

#include "editors/LayBonStornoEnde.h"
#include "editors/LayBonende.h"
#include "editors/LayBonkopf.h"
#include "editors/LayBonpos.h"
#include "editors/LayBonsumme.h"
#include "editors/LayKassenbericht.h"
#include "editors/LayNullbonEnde.h"
#include "editors/LayRechEnde.h"
#include "editors/LayRechPos.h"
#include "editors/LayRechSumme.h"
#include "editors/LayReklPos.h"
#include "editors/LayReklReg.h"
#include "widgets/tovoform.h"

void EditorRegistry::registerEditor(const QString &className, Factory factory)
{
    m_editors.insert(className, std::move(factory));
}

void registerBuiltInEditors(EditorRegistry &registry)
{
    registry.registerHeaderEditor([](QWidget *owner, int type) {
        auto editor = std::make_unique<TfrmLayBonkopf>(owner);
        editor->setDocumentType(type);
        return std::unique_ptr<TOVOForm>(std::move(editor));
    });
    registry.registerEditor(QStringLiteral("TfrmLayBonende"), [](QWidget *owner) {
        return std::unique_ptr<TOVOForm>(std::make_unique<TfrmLayBonende>(owner));
    });
    registry.registerEditor(QStringLiteral("TfrmLayBonStornoEnde"), [](QWidget *owner) {
        return std::make_unique<TfrmLayBonStornoEnde>(owner);
    });
    registry.registerEditor(QStringLiteral("TfrmLayNullbonEnde"), [](QWidget *owner) {
        return std::make_unique<TfrmLayNullbonEnde>(owner);
    });
    registry.registerEditor(QStringLiteral("TfrmLayKassenbericht"), [](QWidget *owner) {
        return std::make_unique<TfrmLayKassenbericht>(owner);
    });
    registry.registerEditor(QStringLiteral("TfrmLayRechEnde"), [](QWidget *owner) {
        return std::unique_ptr<TOVOForm>(std::make_unique<TfrmLayRechEnde>(owner));
    });
    registry.registerEditor(QStringLiteral("TfrmLayRechPos"),
                            [](QWidget *owner) { return std::make_unique<TfrmLayRechPos>(owner); });
    registry.registerEditor(QStringLiteral("TfrmLayRechSum"),
                            [](QWidget *owner) { return std::make_unique<TfrmLayRechSum>(owner); });
    registry.registerEditor(QStringLiteral("TfrmLayReklPos"),
                            [](QWidget *owner) { return std::make_unique<TfrmLayReklPos>(owner); });
    registry.registerEditor(QStringLiteral("TfrmLayReklReg"),
                            [](QWidget *owner) { return std::make_unique<TfrmLayReklReg>(owner); });
    registry.registerEditor(QStringLiteral("TfrmLayBonPos"),
                            [](QWidget *owner) { return std::make_unique<TfrmLayBonPos>(owner); });
    registry.registerEditor(QStringLiteral("TfrmLayBonSum"),
                            [](QWidget *owner) { return std::make_unique<TfrmLayBonSum>(owner); });
}
