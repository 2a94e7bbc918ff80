#include "KS_LinkHooks.h"

#include "KS_Database.h"
#include "KS_Paging.h"

void InstallToneDownloadHooks()
{
    ToneDownloadHooks hooks;
    hooks.isLinkResponding = [] { return IsLinkResponding(); };
    hooks.detectEncoder = [] { DetectEncoder(); };
    hooks.queryLink = [](const LinkQuery& query, std::string& reply) {
        return QueryLink(query.command, query.data,
            {.expectedLength = query.expectedLength,
                .noSuffix = query.noSuffix,
                .ticks = query.ticks,
                .pokeOnTimeout = query.pokeOnTimeout,
                .attempts = query.attempts,
                .reply = &reply});
    };
    hooks.askRetryDownload = [] { return AskRetryDownload(); };
    SetToneDownloadHooks(std::move(hooks));
}
