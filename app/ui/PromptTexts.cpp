#include "app/ui/PromptTexts.h"

#include "document/SaveHost.h"
#include "view/widgets/Prompts.h"

int TellNumbered(Prompts &prompts, const tessera::NumberedMessage &message, unsigned style)
{
    if (message.isEmpty())
        return tessera::DefaultMessageResult(style);
    return TellNumbered(prompts, message.id, message.args, style);
}

int TellNumbered(Prompts &prompts, int id, const QStringList &args, unsigned style)
{
    return prompts.message(tessera::FormatResourceString(id, args), style);
}

void TellSaveOutcome(Prompts &prompts, const SaveOutcome &outcome)
{
    if (outcome.kind == SaveOutcome::Failed)
        prompts.message(outcome.message, tessera::MbOk | tessera::MbIconError);
    for (const QString &notice : SaveNotices(outcome))
        prompts.message(notice, tessera::MbOk | tessera::MbIconInformation);
}
