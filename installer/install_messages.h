#pragma once

// The numbers of the installer's own messages, in one place so that a number
// is given once and a new message takes a free one. The texts, and the
// parameters each takes, are in resources/vxmysqlsetup/installer.msg.

constexpr unsigned MSG_PAS_ROOT = 4219;
constexpr unsigned MSG_FICHIER = 4903;
constexpr unsigned MSG_PAS_DE_BINPATH = 4976;
constexpr unsigned MSG_ACCES = 4977;
constexpr unsigned MSG_SUCCES = 4978;
constexpr unsigned MSG_ECHEC = 4979;
constexpr unsigned MSG_NOM_REFUSE = 4980;
constexpr unsigned MSG_BINPATH_RELATIF = 4981;
constexpr unsigned MSG_REPERTOIRE_PROPRIETAIRE = 4982;
constexpr unsigned MSG_REPERTOIRE_ECRITURE = 4983;
constexpr unsigned MSG_REPERTOIRE_TYPE = 4984;
constexpr unsigned MSG_MODELE_TYPE = 4985;
constexpr unsigned MSG_LIENS_PHYSIQUES = 4986;
constexpr unsigned MSG_CONFIGURATION_TYPE = 4987;
constexpr unsigned MSG_FICHIER_PROPRIETAIRE = 4988;
constexpr unsigned MSG_FICHIER_ECRITURE = 4989;
constexpr unsigned MSG_ARCHIVE_TYPE = 4990;
constexpr unsigned MSG_DOUBLON = 4991;
constexpr unsigned MSG_FICHIER_REPERTOIRE = 4992;
constexpr unsigned MSG_CASSE = 4993;
constexpr unsigned MSG_COMPOSANT_LONG = 4994;
constexpr unsigned MSG_NOM_MODELE = 4995;
constexpr unsigned MSG_INTERROMPU = 4996;
constexpr unsigned MSG_TROP_D_ENTREES = 4997;
constexpr unsigned MSG_NOMS_EN_DOUBLE = 4998;
constexpr unsigned MSG_LICENCE_TROP_GRANDE = 4999;
constexpr unsigned MSG_LICENCE_UTF8 = 5000;
constexpr unsigned MSG_LICENCE_MODIFIEE = 5001;
