// The slot order of the host's parsed-query interfaces that the driver calls
// by position, and of the driver's copy of a GROUP BY element, which the
// host reads like its own.
#include <gtest/gtest.h>

#include "native/model/host_info_rubrique.h"
#include "native/sql/host_expression.h"
#include "native/sql/host_info_affectation.h"
#include "native/sql/host_info_from.h"
#include "native/sql/host_info_groupe.h"
#include "native/sql/host_info_insertion.h"
#include "native/sql/host_info_jointure.h"
#include "native/sql/host_info_order_by.h"
#include "native/sql/host_sql_parser_information.h"
#include "native/sql/info_groupe.h"
#include "tests/native/abi_slots.h"

namespace {

TEST(ParserInfoInterfaces, ParsedQuerySlots)
{
    vxtest::ExpectSlots("ISQLParserInformation", {
        VX_SLOT(ISQLParserInformation, nGetVersion, 0),
        VX_SLOT(ISQLParserInformation, NAVersion_EmptySlot_3, 4),
        VX_SLOT(ISQLParserInformation, ExternalAddRef, 5),
        VX_SLOT(ISQLParserInformation, nExternalRelease, 6),
        VX_SLOT(ISQLParserInformation, bCheckVersion, 7),
        VX_SLOT(ISQLParserInformation, pszGetRequete, 8),
        VX_SLOT(ISQLParserInformation, nGetWhereStart, 9),
        VX_SLOT(ISQLParserInformation, nGetWhereEnd, 10),
        VX_SLOT(ISQLParserInformation, nGetOrderByStart, 11),
        VX_SLOT(ISQLParserInformation, eGetTypeRequete, 12),
        VX_SLOT(ISQLParserInformation, nGetHavingStart, 13),
        VX_SLOT(ISQLParserInformation, nGetHavingEnd, 14),
        VX_SLOT(ISQLParserInformation, piEnumFrom, 15),
        VX_SLOT(ISQLParserInformation, piEnumRubrique, 16),
        VX_SLOT(ISQLParserInformation, piEnumGroupe, 17),
        VX_SLOT(ISQLParserInformation, piEnumOrderBy, 18),
        VX_SLOT(ISQLParserInformation, piEnumAffectation, 19),
        VX_SLOT(ISQLParserInformation, piEnumInsertion, 20),
        VX_SLOT(ISQLParserInformation, piGetWhereExpression, 21),
        VX_SLOT(ISQLParserInformation, piGetHavingExpression, 22),
        VX_SLOT(ISQLParserInformation, bGetPhysicalName, 23),
        VX_SLOT(ISQLParserInformation, piGetNADataSourceDescription, 24),
        VX_SLOT(ISQLParserInformation, pclGetClauseList, 25),
        VX_SLOT(ISQLParserInformation, piEnumJointure, 26),
        VX_SLOT(ISQLParserInformation, EmptySlot27, 27),
        VX_SLOT(ISQLParserInformation, nGetEnd, 28),
        VX_SLOT(ISQLParserInformation, EmptySlot29, 29),
        VX_SLOT(ISQLParserInformation, nGetGroupByEnd, 30),
    });
    EXPECT_EQ(31, VX_SLOT_COUNT(ISQLParserInformation));
}

TEST(ParserInfoInterfaces, OutputItemSlots)
{
    vxtest::ExpectSlots("IInfoRubrique", {
        VX_SLOT(IInfoRubrique, dwRelease, 2),
        VX_SLOT(IInfoRubrique, eGetQFType, 3),
        VX_SLOT(IInfoRubrique, dwGetCalculValue, 6),
        VX_SLOT(IInfoRubrique, pszGetNom, 7),
        VX_SLOT(IInfoRubrique, pszGetAlias, 8),
        VX_SLOT(IInfoRubrique, pszGetTexte, 9),
        VX_SLOT(IInfoRubrique, eGetKind, 10),
        VX_SLOT(IInfoRubrique, bAvecAS, 11),
        VX_SLOT(IInfoRubrique, pszGetNomRubrique, 12),
        VX_SLOT(IInfoRubrique, pszGetNomTable, 13),
        VX_SLOT(IInfoRubrique, pszGetAliasTable, 14),
        VX_SLOT(IInfoRubrique, stGetPosition, 15),
        VX_SLOT(IInfoRubrique, nGetIndex, 16),
        VX_SLOT(IInfoRubrique, bIsItem, 17),
        VX_SLOT(IInfoRubrique, piGetItemDescription, 18),
        VX_SLOT(IInfoRubrique, piGetExpression, 19),
    });
    EXPECT_EQ(20, VX_SLOT_COUNT(IInfoRubrique));
}

TEST(ParserInfoInterfaces, ElementSlots)
{
    vxtest::ExpectSlots("IInfoFrom", {
        VX_SLOT(IInfoFrom, dwRelease, 2),
        VX_SLOT(IInfoFrom, pszGetNom, 3),
        VX_SLOT(IInfoFrom, pszGetAlias, 4),
        VX_SLOT(IInfoFrom, bAvecAS, 5),
        VX_SLOT(IInfoFrom, stGetPosition, 6),
        VX_SLOT(IInfoFrom, piGetNADataSourceDescription, 7),
        VX_SLOT(IInfoFrom, bGetPhysicalName, 8),
        VX_SLOT(IInfoFrom, nEnumElementKind, 9),
    });
    vxtest::ExpectSlots("IInfoOrderBy", {
        VX_SLOT(IInfoOrderBy, nGetIndex, 3),
        VX_SLOT(IInfoOrderBy, stGetPosition, 4),
        VX_SLOT(IInfoOrderBy, nGetDirection, 5),
    });
    vxtest::ExpectSlots("IExpOpExpression", {
        VX_SLOT(IExpOpExpression, eGetOperator, 3),
        VX_SLOT(IExpOpExpression, nGetOperandNbr, 4),
        VX_SLOT(IExpOpExpression, piGetOperand, 5),
        VX_SLOT(IExpOpExpression, stGetPosition, 6),
        VX_SLOT(IExpOpExpression, pszGetNomRubrique, 7),
        VX_SLOT(IExpOpExpression, pszGetNomTable, 8),
        VX_SLOT(IExpOpExpression, eGetQFType, 9),
        VX_SLOT(IExpOpExpression, bIsOuterJoin, 10),
        VX_SLOT(IExpOpExpression, wGetEscape, 11),
        VX_SLOT(IExpOpExpression, pclGetValue, 12),
        VX_SLOT(IExpOpExpression, piGetItemDescription, 13),
    });
    vxtest::ExpectSlots("IInfoJointure", {
        VX_SLOT(IInfoJointure, stGetPosition, 3),
        VX_SLOT(IInfoJointure, piGetCondition, 4),
    });
    vxtest::ExpectSlots("IInfoAffectation", {
        VX_SLOT(IInfoAffectation, piGetColumn, 0),
        VX_SLOT(IInfoAffectation, piGetValue, 1),
        VX_SLOT(IInfoAffectation, stGetPosition, 2),
    });
    vxtest::ExpectSlots("IInfoInsertion", {
        VX_SLOT(IInfoInsertion, pszGetNomRubrique, 0),
        VX_SLOT(IInfoInsertion, piGetValue, 1),
        VX_SLOT(IInfoInsertion, stGetPosition, 2),
    });
}

TEST(ParserInfoInterfaces, GroupElementSlotsThenDestructors)
{
    // The host's element and the driver's copy answer the same slots; the
    // destructors follow the seven getters.
    vxtest::ExpectSlots("CInfoGroupe", {
        VX_SLOT(CInfoGroupe, pszGetAlias, 0),
        VX_SLOT(CInfoGroupe, bIsAvecTable, 1),
        VX_SLOT(CInfoGroupe, pszGetNomTable, 2),
        VX_SLOT(CInfoGroupe, pszGetNomRubrique, 3),
        VX_SLOT(CInfoGroupe, stGetPosition, 4),
        VX_SLOT(CInfoGroupe, pszGetNomFichier, 5),
        VX_SLOT(CInfoGroupe, pszGetNomRubriqueAlias, 6),
    });
    EXPECT_EQ(9, VX_SLOT_COUNT(IInfoGroupe));
    EXPECT_EQ(16u, sizeof(SQLPosition));
}

}  // namespace
