#include "search/SearchCriteria.h"

namespace ardvel {

void PrepareNameText(SearchCriteria& criteria)
{
    if (criteria.NameText.empty()) criteria.NameText.push_back('*');
    criteria.UseMask = criteria.NameText.find_first_of("*?") != std::string::npos;
}

}  // namespace ardvel
