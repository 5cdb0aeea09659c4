// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Texts.h"

#include <QStringList>

namespace texts {

namespace {

template <std::size_t N>
QString joinLines(const char* const (&lines)[N])
{
    QStringList all;
    for (const char* l : lines)
        all << QString::fromUtf8(l);
    return all.join(QStringLiteral("\r\n"));
}

} // namespace

QString helpText()
{
    static const char* const lines[] = {
        "",
        "\tPour Jouer à Vorlin il vous faut",
        "\tsimplement de bons  reflexes et",
        "\td'un petit peu de stratégie.",
        "\t",
        "  Mode 1 joueur",
        "\tOn doit remplir un maximum de",
        "\tsurface de l'écran , sans",
        "\ttoucher aucun obstacle ,(les",
        "\tbords ,sa propre vorlin).",
        "\tLe score s'affiche sous forme",
        "\tde pourcentage de remplissage",
        "\tde l'écran.",
        "  Mode 2 Joueurs",
        "\tIdem que mode 1 joueur , ne",
        "\trien toucher , mais cette fois ",
        "\til faut bloquer ou échapper à",
        "\tla vorlin adverse.",
        "\tLe score reviendra à celui qui",
        "                reste en piste le dernier.",
        "",
        "\t",
        "  Clavier Vorlin Noir :\t",
        "\t\tGauche\t=\tQ",
        "\t\tDroite\t=\tS",
        "\t\tHaut\t=\tZ",
        "\t\tBas\t=\tW",
        "  Clavier Vorlin Rouge :",
        "\t\tGauche\t=\t<-",
        "\t\tDroite\t=\t->",
        "\t\tHaut\t=\t^",
        "\t\tBas\t=\tV",
        "",
    };
    return joinLines(lines);
}

QString versionHistory()
{
    static const char* const lines[] = {
        "",
        "'  VORLIN  -  historique des versions, de la toute première vorlin à la version 1.07",
        "'==================================================",
        "'",
        "'14/02/1999  Premiers essais de déplacement : un point noir avance dans une zone d'image,",
        "'            un pas toutes les 100 ms, au rythme d'un timer de la fenêtre principale.",
        "'16/02/1999  Le point laisse derrière lui une trace continue : la vorlin est née. La",
        "'            collision se teste sur la seule couleur du pixel sous la tête de la vorlin.",
        "'21/02/1999  Deuxième vorlin, rouge, sur son propre timer. Le timer activé le premier",
        "'            joue le premier à chaque période : c'est lui qui prend la case disputée.",
        "'28/02/1999  Compte à rebours sur le bouton Start, de 5 à 0, avant le départ des vorlins.",
        "'07/03/1999  Les sons : un rayon au départ, un aboiement par vorlin à la collision, et un",
        "'            petit air pour le vainqueur du match. Les sons sont joués en synchrone.",
        "'",
        "'V 1.00  (03/04/1999)  Première version distribuée.",
        "'   - Modes 1 joueur Noir, 1 joueur Rouge et 2 joueurs, au choix dans le menu Jeux.",
        "'   - Score en pourcentage de remplissage de l'écran en mode 1 joueur, sans arrondi.",
        "'   - Match en 10 points en mode 2 joueurs, avec le message du vainqueur à la fin.",
        "'   - Trois vitesses dans le menu Option : Débutant, Moyen et GrandMaître.",
        "'   - Clavier : Q S Z W pour la vorlin noire, les quatre flèches pour la rouge.",
        "'   - Les deux vorlins partent face à face, à 280 pixels l'une de l'autre, sur la ligne du",
        "'     milieu : la noire vers la droite, la rouge vers la gauche, après le son de départ.",
        "'",
        "'V 1.01  (25/04/1999)  Redimensionnement.",
        "'   - L'aire de jeu suit la taille de la fenêtre, avec un nombre impair de cases dans",
        "'     les deux sens, pour que les deux points de départ restent bien centrés.",
        "'   - Taille minimale de la fenêtre : trop petite, elle se réagrandit toute seule.",
        "'   - Nouveau menu Taille : Supermini, Mini et Standard, la largeur du trait et du pas.",
        "'   - Correction : après un agrandissement, les points de départ n'étaient plus dessinés.",
        "'",
        "'V 1.02  (30/05/1999)  Clavier et manettes.",
        "'   - Gestion du clavier revue : KeyPreview sur la fenêtre, une seule touche mémorisée",
        "'     pour les deux joueurs, lue par chaque vorlin au moment de son pas.",
        "'   - Pavé numérique accepté pour la vorlin rouge, verrouillage numérique ou non.",
        "'   - Correction : une touche pressée pendant le compte à rebours faisait partir la",
        "'     vorlin dans la mauvaise direction ; les touches sont ignorées jusqu'au départ.",
        "'   - Manettes : une manette par vorlin, détectées entre les parties, et un bouton de",
        "'     manette lance la partie comme le bouton Start.",
        "'",
        "'V 1.03  (11/07/1999)  Fenêtres d'information.",
        "'   - Fenêtre A propos, avec la version, une description du jeu et un lien web.",
        "'   - Fenêtre d'aide, par le menu ? ou par la touche F1 entre deux parties.",
        "'   - La touche Echap, entre deux parties, enregistre les réglages et quitte le jeu.",
        "'   - Correction : le son de collision coupait parfois le son de départ.",
        "'",
        "'V 1.04  (19/09/1999)  Fichier de réglages.",
        "'   - Le fichier Vorlinini.vrl garde la taille de la fenêtre, le mode de jeu et le",
        "'     meilleur score avec ses initiales, d'une partie à l'autre.",
        "'   - Le Top Score s'affiche dans la barre de titre en mode 1 joueur.",
        "'   - Nouveau menu Effacer top Score, avec une demande de confirmation.",
        "'   - Correction : une seule instance du jeu peut tourner à la fois.",
        "'   - La vitesse, la taille et le choix clavier ou manette repartent à chaque lancement de",
        "'     leurs valeurs par défaut : seul le mode de jeu est gardé dans le fichier.",
        "'",
        "'V 1.05  (14/11/1999)  Saisie du record.",
        "'   - Une petite fenêtre demande les initiales quand le Top Score est battu ; la",
        "'     première lettre passe en majuscule, chiffres et blancs deviennent des \"?\".",
        "'   - Toujours trois initiales, complétées à droite par des blancs.",
        "'   - Correction : la fenêtre principale restait utilisable pendant la saisie.",
        "'   - Correction : le titre montrait encore l'ancien record après la saisie.",
        "'",
        "'V 1.06  (23/01/2000)  Images et curseur animés.",
        "'   - Les GIF animés sont découpés en images, jouées sur un timer commun aux fenêtres",
        "'     A propos et Aide, chaque image avec son délai et sa position.",
        "'   - Curseur animé au-dessus du haut de la fenêtre A propos.",
        "'   - Historique des versions : un clic sur le haut de la fenêtre A propos l'ouvre.",
        "'   - Correction : revenir de l'historique ne relance plus l'animation depuis le début.",
        "'   - Correction : fermer l'aide arrêtait aussi l'animation de la fenêtre A propos.",
        "'",
        "'V 1.07  (02/04/2000)  Courrier et finitions.",
        "'   - Le lien courrier passe maintenant par le shell, comme le lien web ; la fenêtre de",
        "'     jeu se réduit pendant l'écriture du message.",
        "'   - Réglage manette : ouvre le panneau de configuration des manettes du système.",
        "'   - Correction : en GrandMaître, le jeu va aussi vite que le timer le permet.",
        "'   - Correction : un redimensionnement pendant la partie ne laisse plus de trace.",
        "'   - Correction : en Supermini sur un très grand écran, le compteur ne déborde plus.",
        "'   - Correction : la fenêtre de saisie du record se ferme aussi par sa case de fermeture,",
        "'     et le record est alors gardé comme avec OK.",
        "'",
        "'   Merci à tous ceux qui ont usé leur clavier sur les premières versions, et à ceux",
        "'   qui jouaient déjà à ce jeu sur des machines de 1 K de mémoire : la vorlin est là.",
        "",
    };
    return joinLines(lines);
}

} // namespace texts
