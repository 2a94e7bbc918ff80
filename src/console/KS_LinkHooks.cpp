#include "KS_LinkHooks.h"

#include "KS_Database.h"
#include "KS_Paging.h"

void InstallToneDownloadHooks()
{
    ToneDownloadHooks hooks;
    hooks.isLinkResponding = [] { return IsLinkResponding(); };
    hooks.detectEncoder = [] { DetectEncoder(); };
    hooks.queryLink = [](const LinkQuery& query, std::string& reply) {
        return QueryLink(query.command, query.data, query.expectedLength, query.noSuffix, query.ticks, true, false,
                         &reply, query.pokeOnTimeout, query.attempts);
    };
    hooks.askRetryDownload = [] { return AskRetryDownload(); };
    SetToneDownloadHooks(std::move(hooks));
}
