#include "app/finance_links.h"

namespace app {

const std::vector<FinanceLink> &financeLinks()
{
    static const std::vector<FinanceLink> links = {
        {1068, "独立经济学家专栏:宏观经济与理财评论", "https://finance.sina.com.cn/zl/"},
        {1069, "广发基金公司的谈股论金:专业的基金论坛", "https://www.gffunds.com.cn/"},
        {1070, "国际股市指数行情", "https://finance.sina.com.cn/worldmkt/"},
        {1071, "沪深机构资金增仓前50名:让您掌握主力动态", "https://data.eastmoney.com/zjlx/detail.html"},
        {1072, "沪深领涨热点板块:实时播报热点版块", "https://quote.eastmoney.com/center/boardlist.html"},
        {1073, "新浪股票首页:股票及政策指引", "https://finance.sina.com.cn/stock/"},
        {1074, "港股行情", "https://www.hkex.com.hk/"},
        {1075, "中国证券报:中证网", "https://www.cs.com.cn/"},
        {1076, "中国基金网:全部开放基金数据排名", "https://www.chinafund.cn/"},
        {1077, "天天基金网:全部开放基金排名回报率", "https://fund.eastmoney.com/data/fundranking.html"},
        {1078, "雅虎全球股市", "https://finance.yahoo.com/world-indices/"},
        {1079, "房产门户：搜房网", "https://www.fang.com/"},
        {1080, "证券之星：QDII基金", "https://fund.stockstar.com/"},
        {1081, "股市分析师博客:每日大盘点评", "https://blog.sina.com.cn/lm/stock/"},
        {1082, "中国证券网：上海证券报主办", "https://www.cnstock.com/"},
        {1083, "中国联合钢铁网", "https://www.custeel.com/"},
        {1084, "上海有色金属网", "https://www.smm.cn/"},
        {1098, "中国石油期货网", "https://www.ine.cn/"},
    };
    return links;
}

} // namespace app
