#pragma once

#include "editing/ChoiceIndex.h"
#include "gateway/TXml.h"

// A small choice-list document in the server's conventions.
inline TXml equipDoc()
{
    return TXml(QString::fromUtf8(
            "<document><Concession>ZOLVARE</Concession>"
            "<ParsS>"
            "<Pars><type>Carrosserie</type><text>..</text></Pars>"
            "<Pars><type>Carrosserie</type><text>BER : Berline</text></Pars>"
            "<Pars><type>Carrosserie</type><text>BRK : Break</text></Pars>"
            "<Pars><type>Boolean</type><text>Non</text></Pars>"
            "<Pars><type>Boolean</type><text>Oui</text></Pars>"
            "<Pars><type>ModeTVA</type><text>TVA sur marge</text></Pars>"
            "<Pars><type>ModeTVA</type><text>TVA normale</text></Pars>"
            "<Pars><type>SujetAction</type><text>Appel</text></Pars>"
            "<Pars><type>SujetAction</type><text>Visite &amp; essai</text></Pars>"
            "<Pars><type>Energie</type><text>ES : Essence</text></Pars>"
            "<Pars><type>Energie</type><text>GO : Diesel&cr;(gazole)</text></Pars>"
            "<Pars><type>Carrosserie</type><text>CAB : Cabriolet</text></Pars>"
            "</ParsS>"
            "<InfoComS>"
            "<InfoCom><idCom>3</idCom><cNom>Martin</cNom><Site>NORD SUD</Site></InfoCom>"
            "<InfoCom><idCom>4</idCom><cNom>Durand</cNom><Site>NORD</Site></InfoCom>"
            "<InfoCom><idCom>5</idCom><cNom>Martin</cNom><Site>SUD</Site></InfoCom>"
            "</InfoComS>"
            "<InfoSiteS>"
            "<InfoSite><Site>NORD</Site><Marques>AUDI;VW</Marques></InfoSite>"
            "<InfoSite><Site>SUD</Site><Marques>PEUGEOT</Marques></InfoSite>"
            "</InfoSiteS>"
            "<MarksS><Marks><vMark>PEUGEOT</vMark></Marks><Marks><vMark>RENAULT</vMark></Marks>"
            "</MarksS>"
            "<VNMarksS><VNMarks><vnMark>AUDI</vnMark></VNMarks><VNMarks><vnMark>VW</vnMark>"
            "</VNMarks></VNMarksS>"
            "<ModelsS>"
            "<Models><vMark>PEUGEOT</vMark><vModel>208</vModel></Models>"
            "<Models><vMark>PEUGEOT</vMark><vModel>308</vModel></Models>"
            "<Models><vMark>RENAULT</vMark><vModel>Clio</vModel></Models>"
            "<Models><vMark>PEUGEOT</vMark><vModel>Orphan</vModel></Models>"
            "</ModelsS>"
            "<VNModelsS>"
            "<VNModels><vnMark>AUDI</vnMark><vnModel>A3</vnModel></VNModels>"
            "<VNModels><vnMark>VW</vnMark><vnModel>Golf</vnModel></VNModels>"
            "<VNModels><vnMark>VW</vnMark><vnModel>Polo</vnModel></VNModels>"
            "<VNModels><vnMark>SKODA</vnMark><vnModel>Fabia</vnModel></VNModels>"
            "</VNModelsS>"
            "<VNVersionsS>"
            "<VNVersions><vnModel>GOLF</vnModel><vnVers>1.6 TDI</vnVers></VNVersions>"
            "<VNVersions><vnModel>GOLF</vnModel><vnVers>GTI</vnVers></VNVersions>"
            "</VNVersionsS>"
            "<OptionsVDS>"
            "<OptionsVD><Abbr>A</Abbr><eText>Climatisation</eText></OptionsVD>"
            "<OptionsVD><Abbr>B</Abbr><eText>GPS &amp; radio</eText></OptionsVD>"
            "<OptionsVD><Abbr>C</Abbr><eText>Toit ouvrant</eText></OptionsVD>"
            "</OptionsVDS>"
            "</document>"));
}

// Its index, made once as the window makes it once per document.
inline const ChoiceIndex &choices()
{
    static const ChoiceIndex index(equipDoc());
    return index;
}
